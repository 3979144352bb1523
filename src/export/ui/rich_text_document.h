#pragma once

#include "export/rtf.h"

#include <string>
#include <string_view>

class QFont;
class QTextDocument;
class QTextEdit;

namespace veldro {

// The viewer's document, plain text, and the styled runs the RTF reader and
// writer use. Text without a font of its own takes the document's default font.
//
// A document of 740000 paragraphs (the largest report) takes seconds to
// build; so the lines are shown as line breaks inside paragraphs of a few
// dozen lines, which look, print and save alike and build twenty times faster.

// Replaces the editor's document with the UTF-8 text, or with the runs, the
// caret at the start. (Built under the caret, a document is laid out whole
// to keep the caret in sight.)
void showText(QTextEdit& editor, std::string_view text);
void showRuns(QTextEdit& editor, const StyledText& runs);

// The document as runs: fonts, sizes, styles and colours as shown, each line
// ended by '\n'.
StyledText runsOf(const QTextDocument& document);

// UTF-8 text as the document holds it when shown plain: one run in `font`.
StyledText plainRuns(std::string text, const QFont& font);

} // namespace veldro
