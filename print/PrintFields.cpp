#include "PrintFields.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

#include <functional>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CFormula.h"
#include "CHDate.h"
#include "CKDVVantor.h"
#include "CPrintInfo.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"

namespace qs::print {

namespace {

struct FieldContext {
    CPrintInfo* info;
    CProjectDoc* doc;
    CProject* project;
    CFormula* object;
    bool interactive;
};

QString ShortDate(const QDate& date) { return QLocale::system().toString(date, QLocale::ShortFormat); }
QString ShortTime(const QTime& time) { return QLocale::system().toString(time, QLocale::ShortFormat); }

bool IsInputArray(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    return (type == 0 || type == 8) && (kind == 1 || kind == 2);
}

bool ViewedCumulative(const CFormula* object) {
    const auto* data = dynamic_cast<const CDataObject*>(object);
    return data != nullptr && data->IsViewedCumulative();
}

// The four arrays whose name never carries "Cumulative ".
bool IsPlainNamedArray(QSID id) {
    for (QSID plain : {101010001, 101010002, 101010003, 101010004})
        if (SameIDType(id, plain)) return true;
    return false;
}

bool DatabaseProject(const FieldContext& c) { return c.project != nullptr && c.project->Mode() == RM_DATABASE; }

QString FileModified(const FieldContext& c, bool date) {
    const QString path = c.doc->GetPathName();
    if (path.isEmpty()) return QString();
    const QDateTime modified = QFileInfo(path).lastModified().toLocalTime();
    if (!modified.isValid()) return QString();
    return date ? ShortDate(modified.date()) : ShortTime(modified.time());
}

struct Field {
    const char* name;
    std::function<bool(const FieldContext&)> applies;
    std::function<QString(const FieldContext&)> value;
};

const std::vector<Field>& Fields() {
    const auto always = [](const FieldContext&) { return true; };
    const auto document = [](const FieldContext& c) { return c.doc != nullptr && c.project != nullptr; };
    const auto fileDocument = [](const FieldContext& c) { return c.doc != nullptr && c.project != nullptr && c.interactive; };
    const auto database = [](const FieldContext& c) { return c.doc != nullptr && DatabaseProject(c); };
    const auto withObject = [](const FieldContext& c) { return c.doc != nullptr && c.project != nullptr && c.object != nullptr; };
    static const std::vector<Field> fields{
        {"Print Date", always, [](const FieldContext&) { return ShortDate(QDate::currentDate()); }},
        {"Print Time", always, [](const FieldContext&) { return ShortTime(QTime::currentTime()); }},
        {"Page", [](const FieldContext& c) { return c.info != nullptr; },
         [](const FieldContext& c) { return QString::number(c.info->m_nCurPage); }},
        // The kernel keeps the path it was opened from; the field is the name.
        {"File Name", fileDocument,
         [](const FieldContext& c) { return QFileInfo(QString::fromStdString(c.project->GetFileName())).fileName(); }},
        {"File Path", fileDocument, [](const FieldContext& c) { return c.doc->GetPathName(); }},
        {"File Date", fileDocument, [](const FieldContext& c) { return FileModified(c, true); }},
        {"File Time", fileDocument, [](const FieldContext& c) { return FileModified(c, false); }},
        {"Company Name", document, [](const FieldContext& c) { return QString::fromStdString(c.project->GetCompanyName()); }},
        {"Description", document, [](const FieldContext& c) { return QString::fromStdString(c.project->GetDescription()); }},
        {"Evaluation Date",
         [](const FieldContext& c) {
             if (c.doc == nullptr || !DatabaseProject(c)) return false;
             CKDVVantor* vantor = c.project->GetCKDVVantor();
             return vantor != nullptr && vantor->GetData() != nullptr;
         },
         [](const FieldContext& c) {
             const double serial = c.project->GetCKDVVantor()->GetData()->GetEvalDate();
             if (serial < 1) return QString();
             const CHDate date(serial);
             return ShortDate(QDate(date.Year(), date.Month(), date.Day()));
         }},
        {"Query", database, [](const FieldContext& c) { return QString::fromStdString(c.project->GetProfileName()); }},
        {"Exhibit Label", database, [](const FieldContext& c) { return QString::fromStdString(c.project->GetExhibitLabel()); }},
        {"As of Date", document,
         [](const FieldContext& c) {
             const CHDate asOf = c.project->GetAsOfDate();
             return asOf.GetSerial() > 0 ? QString::fromStdString(asOf.Format(CHDate::GetLocale().shortDate)) : QString();
         }},
        {"Comment", document, [](const FieldContext& c) { return QString::fromStdString(c.project->GetComment()); }},
        {"Table Name", withObject,
         [](const FieldContext& c) {
             const QSID id = c.object->GetIDNum();
             QString name = QString::fromStdString(c.object->GetIDLongName());
             if (IsInputArray(id) && ViewedCumulative(c.object) && !IsPlainNamedArray(id))
                 name.prepend(QStringLiteral("Cumulative "));
             return name;
         }},
        {"Table ID", withObject, [](const FieldContext& c) { return QString::fromStdString(c.object->GetIDIndexLabel()); }},
        {"Layer", withObject,
         [](const FieldContext& c) {
             std::string layer;
             c.project->GetNameLayer(layer, GetIDLayer(c.object->GetIDNum()));
             return QString::fromStdString(layer);
         }},
        {"Cumulative/Incremental",
         [](const FieldContext& c) {
             return c.doc != nullptr && c.project != nullptr && c.object != nullptr && IsInputArray(c.object->GetIDNum());
         },
         [](const FieldContext& c) {
             return ViewedCumulative(c.object) ? QStringLiteral("Cumulative") : QStringLiteral("Incremental");
         }},
    };
    return fields;
}

QString FieldValue(const QString& name, const FieldContext& c, bool& replaced) {
    replaced = true;
    for (const Field& field : Fields())
        if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0 && field.applies(c)) return field.value(c);
    if (!c.interactive && c.project != nullptr) {
        const std::string known = c.project->ClassItemMapLookup(name.toStdString());
        if (!known.empty()) return QString::fromStdString(known);
    }
    replaced = false;
    return QString();
}

}  // namespace

QString ExpandPrintFields(const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object, bool interactive) {
    const FieldContext context{info, doc, doc != nullptr ? doc->GetProject() : nullptr, object, interactive};
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) != QLatin1Char('&') || i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('[')) {
            out += text.at(i++);
            continue;
        }
        const qsizetype start = i + 2;
        qsizetype end = text.indexOf(QLatin1Char(']'), start);
        const bool closed = end >= 0;
        if (!closed) end = text.size();
        const QString name = text.mid(start, end - start);
        bool replaced = false;
        const QString value = FieldValue(name, context, replaced);
        out += replaced ? value : QStringLiteral("&[") + name + QLatin1Char(']');
        i = closed ? end + 1 : end;
    }
    return out;
}

}  // namespace qs::print
