#pragma once

#include <QDialog>
#include <string>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace veldro {

class UiServices;

// "Position of the selected profile": asked each time a profile is picked for
// the XYZ export (metres, one decimal) or the WADI export (whole metres and a
// cardinal direction). OK builds the position text; a bad entry is said in a
// box and the dialog stays open.
class TPositionFrm : public QDialog {
    Q_OBJECT
public:
    TPositionFrm(bool wadiForm, UiServices& ui, QWidget* parent = nullptr);

    // The position text OK built; empty until then.
    const std::string& resultText() const { return result_; }

    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QLabel* Label1; // "m"
    QFrame* Panel1; // the compass and its direction buttons
    QRadioButton* RadioButtonN;
    QRadioButton* RadioButtonE;
    QRadioButton* RadioButtonS;
    QRadioButton* RadioButtonW;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildCompass();
    char checkedDirection() const;

    bool wadiForm_;
    UiServices& ui_;
    std::string result_;
};

} // namespace veldro
