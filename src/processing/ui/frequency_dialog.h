#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace veldro {

class MessageSink;

// "Reject frequency...": asks for the frequency in Hz whose rows are ignored.
class TFreqFrm : public QDialog {
    Q_OBJECT
public:
    // `messages` says when the text is no number.
    explicit TFreqFrm(MessageSink& messages, QWidget* parent = nullptr);

    // The frequency entered, once OK accepted it.
    float frequency() const { return frequency_; }

    QLineEdit* Edit1;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // "Cancel"

    // Accepts once Edit1 holds a number.
    void BitBtn1Click();

private:
    MessageSink& messages_;
    float frequency_ = 0;
};

} // namespace veldro
