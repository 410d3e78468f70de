#include "CFormulaDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

#include "CDataObject.h"
#include "CFormula.h"
#include "CProject.h"
#include "CTableWizard.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "TableDialogs.h"
#include "ViewSettings.h"
#include "WaitCursor.h"

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr QChar kPlusMinus(0x00B1);
const QString kCurrentLayer = QStringLiteral("Current");

std::string Utf8(const QString& s) { return s.toStdString(); }
QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

QString Unquoted(const QString& token) {
    QString t = token.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"'))) return t.mid(1, t.size() - 2);
    if (t.startsWith(QLatin1Char('"'))) return t.mid(1);
    return t;
}
}  // namespace

const QStringList& CFormulaDialog::FunctionNames() {
    static const QStringList names = {
        "Abs", "AdjAvgCaseALAE", "AdjAvgCaseLoss", "AdjAvgCaseALAEFactors", "AdjAvgCaseLossFactors",
        "ConvertRowToCol", "ConvertSDFToCol", "Cumulate", "CumulateSDF", "Decumulate", "DecumulateCDF", "Develop",
        "Diagonal", "DiagonalAsRow", "FitLinear", "FitExponential", "FitWeibull", "FitInversePower",
        "GetSystemDevelopmentAges", "IfInterpolate", "InterpolateLinear", "InterpolateExponential",
        "InterpolateWeibull", "InterpolateInversePower", "Invert", "MatrixTotal", "Max", "Min", "Payout", "PVFactors",
        "Round", "Shift", "SpreadTail", "Sqrt", "Sum", "Trend", "Undevelop", "WeightedAvg", "WeightedAvgWithDecay",
        "ZeroOutBlanks"};
    return names;
}

const QStringList& CFormulaDialog::OperatorTexts() {
    static const QStringList ops = {"+", "-", "*", "/", "^", QString(kPlusMinus) + "%", "(", ")", ","};
    return ops;
}

bool CFormulaDialog::IsOperatorChar(QChar c) {
    return c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('*') || c == QLatin1Char('/') ||
           c == QLatin1Char('^') || c == kPlusMinus || c == QLatin1Char('%') || c == QLatin1Char('(') ||
           c == QLatin1Char(')') || c == QLatin1Char(',');
}

const std::vector<CFormulaDialog::Group>& CFormulaDialog::Groups() {
    static const std::vector<Group> groups = {
        {"Input Data", "ID"},        {"Selected Dev Factors", "SDF"}, {"Interpolated Dev Factors", "ISDF"},
        {"Calculated Ultimates", "ULT"}, {"Selected Ultimates", "ULT"}, {"Historical Ultimates", "PULT"},
        {"Method Input Data", "MID"}, {"Scaling Factor", "SF"},       {"Columns", "COL"}};
    return groups;
}

CFormulaDialog::CFormulaDialog()
    : CPropertyPage(kTemplateId),
      m_edit(new QPlainTextEdit(this)),
      m_tree(new QTreeWidget(this)),
      m_onlyWithData(new QCheckBox(QStringLiteral("Show only objects with data"), this)),
      m_functions(new QListWidget(this)),
      m_operators(new QListWidget(this)),
      m_value(new QLineEdit(this)),
      m_insert(new QPushButton(QStringLiteral("&Insert"), this)),
      m_totals(new QButtonGroup(this)),
      m_layer(new QComboBox(this)),
      m_undo(new QPushButton(QStringLiteral("&Undo"), this)),
      m_redo(new QPushButton(QStringLiteral("&Redo"), this)),
      m_hint(new QPushButton(QStringLiteral("&Hint"), this)),
      m_status(new QLabel(this)) {
    SetControlId(m_edit, IDC_FORMULA);
    SetControlId(m_tree, IDC_TREE);
    SetControlId(m_onlyWithData, IDC_ONLY_WITH_DATA);
    SetControlId(m_functions, IDC_FUNCTIONS);
    SetControlId(m_operators, IDC_OPERATORS);
    SetControlId(m_value, IDC_VALUE);
    SetControlId(m_insert, IDC_INSERT);
    SetControlId(m_layer, IDC_LAYER);
    SetControlId(m_undo, IDC_UNDO);
    SetControlId(m_redo, IDC_REDO);
    SetControlId(m_hint, IDC_HINT);
    SetControlId(m_status, IDC_STATUS);
    for (QPushButton* b : {m_insert, m_undo, m_redo, m_hint}) b->setAutoDefault(false);

    m_edit->setTabChangesFocus(true);
    m_edit->setMinimumHeight(60);
    m_tree->setHeaderHidden(true);
    m_tree->setMinimumWidth(260);
    m_value->setValidator(new QDoubleValidator(m_value));
    m_insert->setEnabled(false);
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    m_hint->setEnabled(false);
    m_status->setMinimumSize(24, 24);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Formula:"), this), 0, 0, 1, 4);
    layout->addWidget(m_edit, 1, 0, 1, 4);
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(new QLabel(QStringLiteral("Formula Status"), this));
    statusRow->addWidget(m_status);
    statusRow->addStretch();
    statusRow->addWidget(m_undo);
    statusRow->addWidget(m_redo);
    statusRow->addWidget(m_hint);
    layout->addLayout(statusRow, 2, 0, 1, 4);

    auto* treeBox = new QVBoxLayout;
    treeBox->addWidget(m_tree, 1);
    treeBox->addWidget(m_onlyWithData);
    auto* layerRow = new QHBoxLayout;
    layerRow->addWidget(new QLabel(QStringLiteral("Layer:"), this));
    layerRow->addWidget(m_layer, 1);
    treeBox->addLayout(layerRow);
    layout->addLayout(treeBox, 3, 0);

    auto* functionBox = new QVBoxLayout;
    functionBox->addWidget(new QLabel(QStringLiteral("Functions"), this));
    functionBox->addWidget(m_functions, 1);
    layout->addLayout(functionBox, 3, 1);
    auto* operatorBox = new QVBoxLayout;
    operatorBox->addWidget(new QLabel(QStringLiteral("Oper"), this));
    operatorBox->addWidget(m_operators, 1);
    m_operators->setMaximumWidth(60);
    layout->addLayout(operatorBox, 3, 2);

    auto* right = new QVBoxLayout;
    auto* valueGroup = new QGroupBox(QStringLiteral("Value"), this);
    auto* valueLayout = new QVBoxLayout(valueGroup);
    valueLayout->addWidget(m_value);
    valueLayout->addWidget(m_insert);
    right->addWidget(valueGroup);
    auto* totalsGroup = new QGroupBox(QStringLiteral("Totals"), this);
    auto* totalsLayout = new QVBoxLayout(totalsGroup);
    const struct {
        int id;
        const char* text;
    } totals[] = {{IDC_NO_TOTALS, "No totals"}, {IDC_SUM_COLUMN, "Sum column"}, {IDC_TOTAL_FORMULA, "Total formula"}};
    for (const auto& t : totals) {
        auto* radio = new QRadioButton(QString::fromLatin1(t.text), totalsGroup);
        SetControlId(radio, t.id);
        m_totals->addButton(radio, m_totals->buttons().size());
        totalsLayout->addWidget(radio);
    }
    right->addWidget(totalsGroup);
    right->addStretch();
    layout->addLayout(right, 3, 3);
    layout->setRowStretch(3, 1);

    m_edit->setUndoRedoEnabled(false);  // the page keeps the history (RecordText)
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        RecordText();
        if (!m_bValidating) Validate();
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) { InsertTreeItem(item); });
    connect(m_functions, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { InsertFunction(item->text()); });
    connect(m_operators, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { InsertPiece(item->text()); });
    connect(m_value, &QLineEdit::textChanged, this, [this] { m_insert->setEnabled(true); });
    connect(m_value, &QLineEdit::returnPressed, this, [this] { InsertValue(); });
    connect(m_insert, &QPushButton::clicked, this, [this] { InsertValue(); });
    connect(m_undo, &QPushButton::clicked, this, [this] { OnUndo(); });
    connect(m_redo, &QPushButton::clicked, this, [this] { OnRedo(); });
    connect(m_hint, &QPushButton::clicked, this, [this] { OnHint(); });
    connect(m_onlyWithData, &QCheckBox::clicked, this, [this](bool on) {
        m_bOnlyWithData = on;
        RebuildTree();
    });
    connect(m_totals, &QButtonGroup::idClicked, this, [this](int id) { m_nTotals = id; });
}

void CFormulaDialog::SetContext(CProject* project, int category, CFormula* object) {
    m_pProject = project;
    m_nCategory = category;
    m_pObject = object;
}

void CFormulaDialog::PullContext() {
    if (auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet())) {
        m_pProject = sheet->m_pProject;
        m_nCategory = sheet->m_nCategory;
        m_pObject = sheet->m_pObject;
    }
}

// ---------------------------------------------------------------- opening and the tree

void CFormulaDialog::FillLayerCombo() {
    m_layer->clear();
    m_layerMap.clear();
    // Layer 0 is the formula's own layer, which the kernel has no name for.
    m_layerMap[kCurrentLayer] = 0;
    m_layer->insertItem(0, kCurrentLayer);
    unsigned short count = 0;
    if (m_pProject != nullptr) m_pProject->GetLayerCount(count);
    for (unsigned short l = 1; l <= count; ++l) {
        std::string name;
        if (m_pProject->GetNameLayer(name, l) != 0) {
            AfxMessageBox(QStringLiteral("CProject::GetNameLayer failed\n"));
            continue;
        }
        m_layer->insertItem(0, FromUtf8(name));
        m_layerMap[FromUtf8(name)] = l;
    }
    m_layer->setCurrentIndex(m_layer->findText(kCurrentLayer));
}

QString CFormulaDialog::DisplayName(const QString& name) const {
    if (name == QStringLiteral("Scaling Factor")) return name;
    if (name.size() >= 6 && name.at(0) == QLatin1Char('(') && name.at(3) == QLatin1Char(')') && name.at(2).isDigit())
        return name.mid(5);
    const bool numbered = m_pProject != nullptr && m_pProject->GetShowTableID() != 0;
    if (numbered && name.size() > 6 && name.at(2).isDigit() && name.at(3) == QLatin1Char(' ') &&
        name.at(4) == QLatin1Char('-') && name.at(5) == QLatin1Char(' '))
        return name.mid(6);
    return name;
}

void CFormulaDialog::Register(const QString& display, const QString& prefix, QSID id) {
    auto it = m_nameMap.find(display);
    if (it == m_nameMap.end()) m_nameMap[display] = id;
    else if (it->second != id) it->second = 0;
    const QString qualified = display + QStringLiteral(" (") + prefix + QStringLiteral(")");
    m_nameMap[qualified] = id;
    QStringList& names = m_qualified[display];
    if (!names.contains(qualified)) names.append(qualified);
}

void CFormulaDialog::AddGroupObjects(QTreeWidgetItem* root, const QString& prefix, QSID node, bool withSubGroups) {
    if (m_pProject == nullptr) return;
    auto add = [&](QSID n, int dataOnly) {
        QSStringArray names;
        QSIDArray ids;
        if (m_pProject->GetNodeObjects(n, names, ids, 1, dataOnly, 1, 1, 0) != 0) return;
        for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
            const QString display = DisplayName(FromUtf8(names[i]));
            auto* item = new QTreeWidgetItem(root, {display});
            item->setData(0, kIdRole, qlonglong(ids[i]));
            Register(display, prefix, ids[i]);
        }
    };
    add(node, m_bOnlyWithData ? 1 : 0);
    if (!withSubGroups) return;
    QSStringArray subNames;
    QSIDArray subIds;
    if (m_pProject->GetNodeSubGroups(node, subNames, subIds) != 0) return;
    for (QSID sub : subIds) add(sub, 0);
}

void CFormulaDialog::RebuildTree() {
    m_tree->clear();
    m_nameMap.clear();
    m_qualified.clear();
    const struct {
        const char* group;
        std::vector<QSID> nodes;
    } plan[] = {{"Input Data", {1000, 1005, 1001}}, {"Selected Dev Factors", {2000}},
                {"Interpolated Dev Factors", {9060}}, {"Calculated Ultimates", {3000}},
                {"Selected Ultimates", {9000, 9010}},  {"Historical Ultimates", {9050}},
                {"Method Input Data", {1010}}};
    std::map<QString, QString> prefixes;
    for (const Group& g : Groups()) prefixes[QString::fromLatin1(g.name)] = QString::fromLatin1(g.prefix);
    for (const auto& p : plan) {
        const QString group = QString::fromLatin1(p.group);
        auto* root = new QTreeWidgetItem(m_tree, {group});
        for (QSID node : p.nodes) AddGroupObjects(root, prefixes[group], node, node != 1000 && node != 9000);
        root->sortChildren(0, Qt::AscendingOrder);
    }
    {
        auto* root = new QTreeWidgetItem(m_tree, {QStringLiteral("Scaling Factor")});
        if (m_pProject != nullptr) {
            const QSID id = m_pProject->GetScalingFactorID();
            std::string name;
            if (id != 0 && m_pProject->GetNameFromID(id, name) == 0) {
                const QString display = DisplayName(FromUtf8(name));
                auto* item = new QTreeWidgetItem(root, {display});
                item->setData(0, kIdRole, qlonglong(id));
                Register(display, prefixes[QStringLiteral("Scaling Factor")], id);
            }
        }
    }
    if (!m_columns.empty()) {
        auto* root = new QTreeWidgetItem(m_tree, {QStringLiteral("Columns")});
        int number = 1;
        for (const auto& [id, name] : m_columns) {
            const QString label = QStringLiteral("(%1) %2").arg(number++, 2).arg(name);
            auto* item = new QTreeWidgetItem(root, {label});
            item->setData(0, kIdRole, qlonglong(id));
            Register(DisplayName(label), QStringLiteral("COL"), id);
        }
        root->sortChildren(0, Qt::AscendingOrder);
    }
    m_tree->collapseAll();
}

BOOL CFormulaDialog::OnSetActive() {
    PullContext();
    if (!m_bFilled) {
        m_bFilled = true;
        m_operators->clear();
        m_operators->addItems(OperatorTexts());
        m_functions->clear();
        m_functions->addItems(FunctionNames());
        // Every function's name whole, beside the list's scroll bar.
        m_functions->setMinimumWidth(m_functions->sizeHintForColumn(0) + 2 * m_functions->frameWidth() +
                                     m_functions->verticalScrollBar()->sizeHint().width() + 4);
        FillLayerCombo();
    }
    if (auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet())) {
        if (!sheet->m_pObject) return FALSE;
        RebuildTree();
        if (!IsMethodLike()) {
            CStringStack raw, resolved;
            sheet->m_pObject->GetFormula(raw, resolved);
            LoadFormula(raw, resolved);
            m_totals->button(0)->parentWidget()->setVisible(false);
        } else {
            m_totals->button(0)->parentWidget()->setVisible(true);
            if (QAbstractButton* b = m_totals->button(m_nTotals)) b->setChecked(true);
            else {
                m_totals->setExclusive(false);
                for (QAbstractButton* x : m_totals->buttons()) x->setChecked(false);
                m_totals->setExclusive(true);
            }
            Validate();
        }
    } else {
        RebuildTree();
        Validate();
    }
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
    m_edit->setFocus();
    return CPropertyPage::OnSetActive();
}

// ---------------------------------------------------------------- inserting

QString CFormulaDialog::FormulaText() const { return m_edit->toPlainText(); }

void CFormulaDialog::RecordText() {
    if (m_bRestoring) return;
    const QString text = m_edit->toPlainText();
    if (text == m_history[std::size_t(m_historyPos)]) return;
    m_history.resize(std::size_t(m_historyPos) + 1);
    m_history.push_back(text);
    m_historyPos = int(m_history.size()) - 1;
    m_undo->setEnabled(true);
    m_redo->setEnabled(false);
}

void CFormulaDialog::RestoreText(int pos) {
    if (pos < 0 || pos >= int(m_history.size())) return;
    m_historyPos = pos;
    m_bRestoring = true;
    m_edit->setPlainText(m_history[std::size_t(pos)]);
    m_bRestoring = false;
    m_undo->setEnabled(pos > 0);
    m_redo->setEnabled(pos + 1 < int(m_history.size()));
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
}

void CFormulaDialog::SetFormulaText(const QString& text) {
    // A text set as a whole (a loaded formula) starts a fresh undo history.
    m_bRestoring = true;
    m_edit->setPlainText(text);
    m_bRestoring = false;
    m_history.assign(1, text);
    m_historyPos = 0;
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
}

void CFormulaDialog::InsertPiece(const QString& piece) {
    // Inserted at the caret through the edit itself, so the user's clipboard
    // is left alone and each insertion is one step of the edit's undo.
    QTextCursor cursor = m_edit->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(piece + QLatin1Char(' '));
    cursor.endEditBlock();
    m_edit->setTextCursor(cursor);
    m_edit->setFocus();
}

void CFormulaDialog::InsertTreeItem(QTreeWidgetItem* item) {
    if (item == nullptr || !item->data(0, kIdRole).isValid()) return;
    QSID id = QSID(item->data(0, kIdRole).toLongLong());
    const QString layerName = m_layer->currentText();
    int layer = 0;
    if (auto it = m_layerMap.find(layerName); it != m_layerMap.end()) layer = it->second;
    SetIDLayer(id, static_cast<unsigned short>(layer));
    const QString display = DisplayName(item->text(0));
    QString text;
    if (auto it = m_nameMap.find(display); it != m_nameMap.end() && it->second != 0) {
        text = display;
    } else {
        QString prefix;
        const QString group = item->parent() ? item->parent()->text(0) : QString();
        for (const Group& g : Groups())
            if (group == QString::fromLatin1(g.name)) prefix = QString::fromLatin1(g.prefix);
        text = display + QStringLiteral(" (") + prefix + QStringLiteral(")");
    }
    if (layer != 0) text += QStringLiteral("<") + layerName + QStringLiteral(">");
    InsertPiece(QStringLiteral("\"") + text + QStringLiteral("\""));
}

void CFormulaDialog::InsertFunction(const QString& name) {
    QString text = name;
    if (name == QStringLiteral("Diagonal") || name == QStringLiteral("DiagonalAsRow")) {
        CDiagonalSelectionDlg dlg(this);
        if (dlg.DoModal() != IDOK) return;
        text += QString::number(dlg.m_nEvaluation);
    }
    InsertPiece(text);
}

void CFormulaDialog::InsertValue() {
    bool ok = false;
    const double value = m_value->text().trimmed().toDouble(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("Please enter a number."), MB_ICONEXCLAMATION);
        m_value->setFocus();
        return;
    }
    InsertPiece(QString::number(value, 'g', 7));
}

void CFormulaDialog::OnUndo() { RestoreText(m_historyPos - 1); }

void CFormulaDialog::OnRedo() { RestoreText(m_historyPos + 1); }

// ---------------------------------------------------------------- tokenising

bool CFormulaDialog::IsFunction(const QString& token) const {
    return FunctionNames().contains(token, Qt::CaseInsensitive);
}

QString CFormulaDialog::Bare(const QString& token) const {
    QString t = token;
    while (!t.isEmpty() && (t.back().isDigit() || t.back() == QLatin1Char('.'))) t.chop(1);
    return DisplayName(t).trimmed();
}

bool CFormulaDialog::Tokenize() {
    m_strUnknown.clear();
    m_nHintFlags = 0;
    m_raw.RemoveAll();
    m_resolved.RemoveAll();
    const QString text = FormulaText();
    int depth = 0;
    bool inQuotes = false;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        QString token;
        bool quoted = false;
        bool closedByQuote = false;
        if (c == QLatin1Char('"')) {
            quoted = true;
            inQuotes = true;
            const int close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                token = text.mid(i + 1);
                i = n;
            } else {
                token = text.mid(i + 1, close - i - 1);
                closedByQuote = true;
                inQuotes = false;
                i = close + 1;
            }
        } else if (IsOperatorChar(c)) {
            // The plus-minus sign and its percent sign are one operator.
            if (c == kPlusMinus && i + 1 < n && text.at(i + 1) == QLatin1Char('%')) {
                token = text.mid(i, 2);
                i += 2;
            } else {
                token = c;
                ++i;
            }
        } else {
            int j = i;
            while (j < n && text.at(j) != QLatin1Char('"') && !IsOperatorChar(text.at(j))) ++j;
            token = text.mid(i, j - i);
            i = j;
        }
        token = token.trimmed();
        if (token.isEmpty()) continue;
        if (token.startsWith(QLatin1Char('('))) ++depth;
        if (token.startsWith(QLatin1Char(')'))) --depth;
        if (token == QStringLiteral("(") && m_resolved.GetSize() > 0 && m_raw.GetSize() > 0) {
            std::string last;
            m_resolved.Top(last);
            if (last.rfind("DO", 0) == 0) {
                std::string rawLast;
                m_raw.Top(rawLast);
                m_resolved.SetAt(m_resolved.GetSize() - 1, Utf8(Unquoted(FromUtf8(rawLast))));
            }
        }
        m_raw.Push(Utf8(quoted ? QStringLiteral("\"") + token + QStringLiteral("\"") : token));
        // A layer suffix "<name>" of a known layer.
        QString name = token;
        int layer = 0;
        const int lt = token.indexOf(QLatin1Char('<'));
        const int gt = lt >= 0 ? token.indexOf(QLatin1Char('>'), lt + 1) : -1;
        if (gt > lt && lt >= 0) {
            const QString layerName = token.mid(lt + 1, gt - lt - 1);
            if (auto it = m_layerMap.find(layerName); it != m_layerMap.end()) {
                layer = it->second;
                name = token.left(lt).trimmed();
            }
        }
        QString resolved = token;
        if (auto it = m_nameMap.find(name); it != m_nameMap.end()) {
            if (it->second != 0) {
                QSID id = it->second;
                SetIDLayer(id, static_cast<unsigned short>(layer));
                resolved = QStringLiteral("DO") + QString::number(id);
            } else if (closedByQuote) {
                const QString message = QStringLiteral("\"") + name +
                                        QStringLiteral("\" is ambiguous.  Please select one of the following "
                                                       "specific names below.");
                CSelectNewNameDlg select(this, message, m_qualified[name]);
                if (select.DoModal() == IDOK && !select.m_strChosen.isEmpty()) {
                    // The token (with its quotes) is replaced where it stands.
                    QString newText = text;
                    const int end = i;  // just behind the closing quote
                    const int start = text.lastIndexOf(QLatin1Char('"'), end - 2);
                    QString chosen = select.m_strChosen;
                    if (layer != 0) chosen += token.mid(lt);
                    newText.replace(start, end - start, QStringLiteral("\"") + chosen + QStringLiteral("\""));
                    const bool was = m_bValidating;
                    m_bValidating = true;
                    m_edit->setPlainText(newText);  // recorded: Undo brings the typed name back
                    m_bValidating = was;
                    return Tokenize();
                }
            }
        } else {
            const QString bare = Bare(name);
            if (!bare.isEmpty() && !IsFunction(bare) && !IsOperatorChar(name.at(0))) {
                m_nHintFlags |= kUnknownName;
                if (!m_strUnknown.isEmpty()) m_strUnknown += QStringLiteral(", ");
                m_strUnknown += DisplayName(name);
            }
        }
        m_resolved.Push(Utf8(resolved));
    }
    if (depth != 0) m_nHintFlags |= kParenMissing;
    if (inQuotes) m_nHintFlags |= kQuoteMissing;
    return (m_nHintFlags & (kParenMissing | kQuoteMissing | kUnknownName)) == 0;
}

bool CFormulaDialog::KernelTest() {
    const CFormula* context = m_pObject;
    if (context == nullptr) return false;
    CFormulaProbe probe(context, m_pProject);
    if (probe.Test(m_raw, m_resolved, nullptr) != 0) {
        m_nHintFlags |= kCannotExecute;
        return false;
    }
    m_nHintFlags |= kDoesNotFit;
    const int type = probe.GetResultVectorType();
    const int interval = probe.GetResultInterval();
    bool fits = false;
    switch (m_nCategory) {
    case 1000:
        if (const auto* data = dynamic_cast<const CDataObject*>(context)) fits = type == data->GetVectorType();
        break;
    case 5000: fits = type == 0 || type == 2; break;
    case 6000:
    case 7000:
    case 8000: {
        const auto* data = dynamic_cast<const CDataObject*>(context);
        const int own = data ? data->GetInterval() : 0;
        fits = type == 2 || ((interval == 0 || interval == own) && type == 0);
        break;
    }
    default: break;
    }
    if (fits) m_nHintFlags &= ~kDoesNotFit;
    return fits;
}

bool CFormulaDialog::Validate() {
    const bool was = m_bValidating;
    m_bValidating = true;
    const bool wellFormed = Tokenize();
    m_bValidating = was;
    const bool empty = FormulaText().trimmed().isEmpty();
    bool good = false;
    if (empty) {
        good = true;
        m_nHintFlags = 0;
    } else {
        good = wellFormed && KernelTest();
    }
    m_nStatusIcon = good ? kIconGood : kIconBad;
    QStyle* style = QApplication::style();
    m_status->setPixmap(style->standardIcon(good ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxCritical)
                            .pixmap(20, 20));
    m_status->setToolTip(good ? QStringLiteral("Good") : HintText());
    m_hint->setEnabled(!good);
    UpdateButtons(good);
    return good && !empty;
}

void CFormulaDialog::UpdateButtons(bool good) {
    CPropertySheet* sheet = GetSheet();
    if (sheet == nullptr || sheet->GetActivePage() != this) return;
    if (!good) sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
    else if (IsMethodLike()) sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    else sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
}

QString CFormulaDialog::HintText() const {
    if (m_nHintFlags & kQuoteMissing) return QStringLiteral("A quotation mark is missing.");
    if (m_nHintFlags & kParenMissing) return QStringLiteral("An opening or closing parenthesis is missing.");
    if (m_nHintFlags & kUnknownName)
        return QStringLiteral("\"") + m_strUnknown + QStringLiteral("\" is not a recognized name.");
    if (m_nHintFlags & kCannotExecute)
        return QStringLiteral("The formula failed to execute.  This is most likely due to missing \noperators or "
                              "operands or invalid function parameters.");
    if (m_nHintFlags & kDoesNotFit)
        return QStringLiteral("The resulting object calculated from the formula does not match what is being "
                              "defined.");
    return QStringLiteral("No formula.");
}

void CFormulaDialog::OnHint() { ::MessageBox(this, HintText(), QStringLiteral("Hint"), MB_OK | MB_ICONINFORMATION); }

// ---------------------------------------------------------------- loading and handing out

QString CFormulaDialog::GroupOfResolved(QSID id) const {
    const int kind = GetIDDOType(id), type = GetIDDataType(id), index = GetIDIndex(id);
    if (kind == 1 && type == 0 && index >= 23 && index <= 29) return QStringLiteral("Selected Ultimates");
    if (kind == 1 && type == 0 && index >= 33 && index <= 39) return QStringLiteral("Historical Ultimates");
    if ((type == 0 || type == 8) && (kind == 1 || kind == 2)) return QStringLiteral("Input Data");
    if (type == 1 && (kind == 1 || kind == 2)) return QStringLiteral("Selected Dev Factors");
    if (type == 7 && (kind == 1 || kind == 2)) return QStringLiteral("Interpolated Dev Factors");
    if (type == 2 && (kind == 1 || kind == 2)) return QStringLiteral("Calculated Ultimates");
    if (type == 2 && (kind == 3 || kind == 4)) return QStringLiteral("Method Input Data");
    if (kind == 5 || kind == 6) return QStringLiteral("Scaling Factor");
    return QStringLiteral("Columns");
}

QString CFormulaDialog::ShowTokens(const std::vector<QString>& tokens) const {
    QString text;
    for (const QString& t : tokens) {
        const bool quote = !t.isEmpty() && !IsOperatorChar(t.at(0)) && !Bare(t).isEmpty() && !IsFunction(Bare(t));
        text += quote ? QStringLiteral("\"") + t + QStringLiteral("\"") : t;
        text += QLatin1Char(' ');
    }
    return text;
}

int CFormulaDialog::LoadFormula(const CStringStack& raw, const CStringStack& resolved) {
    if (raw.IsEmpty()) {
        SetFormulaText(QString());
        Validate();
        return 1;
    }
    if (resolved.IsEmpty()) return 2;
    std::vector<QString> tokens;
    for (int i = 0; i < raw.GetSize(); ++i) {
        std::string t;
        if (const QSSTATUS st = raw.GetAt(i, t)) return st;
        QString token = Unquoted(FromUtf8(t));
        // A name several objects share is shown qualified by the group of the
        // object the formula resolved it to.
        QString name = token, suffix;
        if (const int lt = token.indexOf(QLatin1Char('<')); lt > 0) {
            name = token.left(lt).trimmed();
            suffix = token.mid(lt);
        }
        if (auto it = m_nameMap.find(name); it != m_nameMap.end() && it->second == 0) {
            std::string r;
            if (resolved.GetAt(i, r) == 0 && r.rfind("DO", 0) == 0) {
                const QSID id = QSID(std::stoll(r.substr(2)));
                const QString group = GroupOfResolved(id);
                for (const Group& g : Groups())
                    if (group == QString::fromLatin1(g.name)) {
                        token = name + QStringLiteral(" (") + QString::fromLatin1(g.prefix) + QStringLiteral(")") +
                                suffix;
                        break;
                    }
            }
        }
        tokens.push_back(token);
    }
    SetFormulaText(ShowTokens(tokens));
    Validate();
    return 0;
}

int CFormulaDialog::GetFormula(CStringStack& raw, CStringStack& resolved) const {
    if (m_raw.IsEmpty()) return 1;
    if (m_resolved.IsEmpty()) return 2;
    raw = m_raw;
    resolved = m_resolved;
    return 0;
}

// ---------------------------------------------------------------- wizard buttons

LRESULT CFormulaDialog::OnWizardBack() {
    auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet());
    if (sheet == nullptr) return 0;
    if (IsMethodLike()) return 0;  // the column page
    return CTableWizPage2::kTemplateId;
}

LRESULT CFormulaDialog::OnWizardNext() {
    if (FormulaText().trimmed().isEmpty()) {
        AfxMessageBox(QStringLiteral("Formula is Required!"), MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }
    if (auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet())) sheet->m_bColumnPending = true;
    return CTableWizPage22::kTemplateId;
}

BOOL CFormulaDialog::OnWizardFinish() {
    auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet());
    if (sheet == nullptr || !sheet->m_pObject) return TRUE;
    if (m_nCategory == 5000 && FormulaText().trimmed().isEmpty()) {
        AfxMessageBox(QStringLiteral("Formula is Required for Exhibits!"), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CStringStack raw, resolved;
    if (!FormulaText().trimmed().isEmpty()) {
        raw = m_raw;
        resolved = m_resolved;
    }
    const QSSTATUS st = raw.IsEmpty() ? sheet->m_pObject->ClearFormula() : sheet->m_pObject->SetFormula(raw, resolved);
    if (st != 0) {
        AfxMessageBox(QStringLiteral("Error: CFormula::SetFormula\n"), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL CFormulaDialog::OnQueryCancel() { return CTableWizardPropSheet::ConfirmCancel() ? TRUE : FALSE; }
