#pragma once
// Field expansion of header, footer and title texts: every "&[" name "]" is
// replaced by its value; a name without its closing bracket at the end of the
// text is a field too. Names are compared without regard to case; a name
// that nothing replaces (unknown, or its source is missing: no print state,
// no document, no object) is written back as "&[" name "]". There is no
// length limit on the text or a name.
//
// Without a print state the "&[Page]" field stays as written while every
// other field is expanded, so a printer that numbers the pages itself
// (a spreadsheet's own header) can still fill it in.
#include <QString>

class CFormula;
class CPrintInfo;
class CProjectDoc;

namespace qs::print {

// interactive: 1 while a person drives the application (the file fields),
// 0 under automation (unknown names are asked of the project's item map).
QString ExpandPrintFields(const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object,
                          bool interactive);

}  // namespace qs::print
