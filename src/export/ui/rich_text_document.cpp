#include "export/ui/rich_text_document.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace veldro {

namespace {

QTextCharFormat formatOf(const TextStyle& style) {
    QTextCharFormat format;
    if (!style.font.empty()) format.setFontFamilies({QString::fromStdString(style.font.text())});
    format.setFontPointSize(style.halfPoints / 2.0);
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    if (style.colour)
        format.setForeground(QColor(style.colour->red, style.colour->green, style.colour->blue));
    return format;
}

TextStyle styleOf(const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont font = format.font().resolve(defaultFont);
    TextStyle style;
    style.font = font.family().toStdString();
    const double points =
        font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    style.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, kMaxHalfPoints);
    style.bold = font.bold();
    style.italic = font.italic();
    style.underline = font.underline();
    if (format.foreground().style() != Qt::NoBrush) {
        const QColor colour = format.foreground().color();
        style.colour =
            Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                static_cast<std::uint8_t>(colour.blue())};
    }
    return style;
}

constexpr int kLinesPerParagraph = 32;

// Text for the document: line ends become line breaks but for every
// kLinesPerParagraph-th, which ends a paragraph; the count goes on across calls.
class ParagraphGrouping {
public:
    QString operator()(std::string_view utf8) {
        QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        for (QChar& c : text)
            if (c == u'\n' && ++lines_ % kLinesPerParagraph != 0) c = QChar::LineSeparator;
        return text;
    }

private:
    int lines_ = 0;
};

} // namespace

void showText(QTextEdit& editor, std::string_view text) {
    editor.setPlainText(ParagraphGrouping()(text));
}

void showRuns(QTextEdit& editor, const StyledText& runs) {
    auto* document = new QTextDocument(&editor); // the editor drops the one it had
    document->setDefaultFont(editor.document()->defaultFont());
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    ParagraphGrouping grouping;
    // Each style's format made once: a file may switch style every few bytes.
    std::vector<QTextCharFormat> formats;
    for (const TextStyle& style : runs.styles()) formats.push_back(formatOf(style));
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const StyledText::Run run = runs.run(r);
        cursor.insertText(grouping(run.text), formats[run.styleIndex]);
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    editor.setDocument(document);
}

StyledText runsOf(const QTextDocument& document) {
    StyledText runs;
    const QFont defaultFont = document.defaultFont();
    // A long report has few formats and many fragments.
    std::unordered_map<int, TextStyle> styles;
    const auto styleAt = [&](const QTextFragment& part) -> const TextStyle& {
        auto found = styles.find(part.charFormatIndex());
        if (found == styles.end())
            found = styles.emplace(part.charFormatIndex(), styleOf(part.charFormat(), defaultFont))
                        .first;
        return found->second;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            runs.append(
                fragment.fragment().text().replace(QChar::LineSeparator, u'\n').toStdString(),
                styleAt(fragment.fragment()));
        // A paragraph ends in the style of the text before it.
        if (block.next().isValid())
            runs.append("\n", runs.empty() ? styleOf(block.charFormat(), defaultFont)
                                           : runs.run(runs.size() - 1).style);
    }
    return runs;
}

StyledText plainRuns(std::string text, const QFont& font) {
    return {{std::move(text), styleOf(QTextCharFormat(), font)}};
}

} // namespace veldro
