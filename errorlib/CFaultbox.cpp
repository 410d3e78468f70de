#include "CFaultbox.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>

#include "MessageBox.h"
#include "CFaultboxDll.h"
#include "ModalScript.h"

namespace {

void PlainBox(QWidget* owner, const char* text) { MessageBox(owner, QString::fromLatin1(text), QString(), MB_OK); }

struct PrintMetrics {
    int pitch = 1;
    int linesPerPage = 1;
    int leftMargin = 0;
    int ascent = 0;
};

// Line pitch is the character height plus the external leading; a page holds
// what fits below the first line's height and leading; the left margin is the
// widest character of the font.
PrintMetrics MetricsOf(const QFontMetrics& fm, int pageHeight) {
    PrintMetrics m;
    m.pitch = std::max(1, fm.height() + fm.leading());
    m.linesPerPage = std::max(1, (pageHeight - fm.leading() - fm.height()) / m.pitch);
    m.leftMargin = fm.maxWidth();
    m.ascent = fm.ascent();
    return m;
}

int PageHeightPixels(QPrinter& printer) { return printer.pageLayout().paintRectPixels(printer.resolution()).height(); }

}  // namespace

CFaultbox::CFaultbox(const FaultboxErrorList* errors, QWidget* parent) : QDialog(parent), m_pErrors(errors) {
    setWindowTitle("The Following Error Messages Have Occurred");
    CFaultboxDll::SetDialogColours(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QString::number(IDC_ERRORS));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* save = new QPushButton("&Save", this);
    auto* print = new QPushButton("&Print", this);
    auto* close = new QPushButton("&Close", this);
    save->setObjectName(QString::number(IDC_SAVE));
    print->setObjectName(QString::number(IDC_PRINT));
    close->setObjectName(QString::number(IDC_CLOSE));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &CFaultbox::OnClickedButtonSave);
    connect(print, &QPushButton::clicked, this, &CFaultbox::OnClickedButtonPrint);
    connect(close, &QPushButton::clicked, this, &CFaultbox::OnClickedButtonClose);
    resize(560, 320);
    OnInitDialog();
}

bool CFaultbox::HasErrors() const { return m_pErrors != nullptr && m_pErrors->count > 0 && m_pErrors->strings; }

QString CFaultbox::ErrorAt(int index) const {
    const char* s = m_pErrors->strings[index];
    return s ? QString::fromUtf8(s) : QString();
}

void CFaultbox::OnInitDialog() {
    // The list view scrolls sideways as far as its longest text by itself.
    if (!HasErrors()) return;
    for (int i = 0; i < m_pErrors->count; ++i) m_list->addItem(ErrorAt(i));
}

void CFaultbox::OnClickedButtonClose() { done(IDOK); }

void CFaultbox::OnClickedButtonSave() {
    if (!HasErrors()) return;
    QFileDialog chooser(this);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontUseNativeDialog, qs::fw::IsModalScripted());
    chooser.setDefaultSuffix("txt");
    chooser.setNameFilters({"Text Files (*.txt)", "All Files (*.*)"});
    chooser.selectFile("ERRORS.txt");
    if (qs::fw::RunModal(chooser) != IDOK || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().constFirst();

    // Written beside the target and renamed over it on commit, so a failed
    // save never leaves a half-written list behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate)) {
        PlainBox(this, "Could not open the file");
        return;
    }
    for (int i = 0; i < m_pErrors->count; ++i) {
        QByteArray line = ErrorAt(i).toUtf8() + '\n';
        if (file.write(line) != line.size()) {
            PlainBox(this, "Error Writing to the file");
            file.cancelWriting();
            return;
        }
    }
    if (!file.commit()) PlainBox(this, "Error Closing the File");
}

void CFaultbox::OnClickedButtonPrint() {
    if (!HasErrors()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog setup(&printer, this);
    setup.setOptions(QAbstractPrintDialog::PrintDialogOptions());
    if (qs::fw::RunModal(setup) != IDOK) return;
    PrintTo(printer);
}

int CFaultbox::LinesPerPage(QPrinter& printer) {
    QFontMetrics fm(QFont(), &printer);
    return MetricsOf(fm, PageHeightPixels(printer)).linesPerPage;
}

void CFaultbox::PrintTo(QPrinter& printer) {
    printer.setDocName("Error Information");
    QPainter painter;
    if (!painter.begin(&printer)) {
        PlainBox(this, "CFaultbox::OnclickedButtonprint(): Error during dc.StartDoc()!");
        return;
    }
    const PrintMetrics m = MetricsOf(QFontMetrics(painter.font(), &printer), PageHeightPixels(printer));
    int line = 0;
    for (int i = 0; i < m_pErrors->count; ++i) {
        painter.drawText(m.leftMargin, line * m.pitch + m.ascent, ErrorAt(i));
        if (++line == m.linesPerPage) {
            // A full page is ended at once, so a list that exactly fills its
            // last page is followed by an empty one.
            if (!printer.newPage()) {
                PlainBox(this, "CFaultbox::OnclickedButtonprint(): Error during EndPage()!");
                break;
            }
            line = 0;
        }
    }
    if (!painter.end()) PlainBox(this, "CFaultbox::OnclickedButtonprint(): Error during dc.EndDoc()!");
}
