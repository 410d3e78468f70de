#include "ProjectRecords.h"

#include <QDataStream>
#include <QIODevice>

#include <array>
#include <map>
#include <vector>

#include "CDataObject.h"
#include "CProject.h"

namespace qs::db {

namespace {

constexpr quint32 kDataMagic = 0x44505351;      // "QSPD"
constexpr quint32 kTemplateMagic = 0x50545351;  // "QSTP"
constexpr quint32 kVersion = 1;

struct Cells {
    QSID id;
    unsigned short layer;
    CDataObject* object;
};

// Every entered array and scalar of the entered layers, in a fixed order.
std::vector<Cells> ProfileCells(const CProject& project) {
    std::vector<Cells> out;
    auto& p = const_cast<CProject&>(project);
    for (unsigned short layer = 1; layer <= 5; ++layer) {
        if (project.IsLayerCalculated(layer)) continue;
        std::array<std::map<QSID, std::string>, 5> maps;
        if (project.GetProjStructDataInfo(layer, maps, false) != 0) continue;
        for (const int slot : {0, 3})
            for (const auto& [id, name] : maps[slot])
                if (auto* d = dynamic_cast<CDataObject*>(p.OpenObject(id, layer, nullptr)))
                    out.push_back({id, layer, d});
    }
    return out;
}

QDataStream& Prepare(QDataStream& s) {
    s.setByteOrder(QDataStream::LittleEndian);
    s.setVersion(QDataStream::Qt_6_0);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    return s;
}

QByteArray ToQ(const std::vector<std::uint8_t>& v) { return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size())); }

}  // namespace

QByteArray EncodeProfileData(const CProject& project) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    Prepare(s);
    const auto cells = ProfileCells(project);
    s << kDataMagic << kVersion << quint32(cells.size());
    for (const Cells& c : cells) {
        std::uint16_t rows = 0, cols = 0;
        c.object->GetMaxRowsCols(rows, cols);
        s << qint32(c.id) << quint16(c.layer) << quint16(rows) << quint16(cols);
        const auto& values = c.object->Values();
        const auto& flags = c.object->Flags();
        for (double v : values) s << v;
        s.writeRawData(reinterpret_cast<const char*>(flags.data()), int(flags.size()));
    }
    return out;
}

QByteArray ProfileDataShape(const CProject& project) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    Prepare(s);
    for (const Cells& c : ProfileCells(project)) {
        std::uint16_t rows = 0, cols = 0;
        c.object->GetMaxRowsCols(rows, cols);
        s << qint32(c.id) << quint16(c.layer) << quint16(rows) << quint16(cols);
    }
    return out;
}

bool DecodeProfileData(const QByteArray& bytes, CProject& project, QString* why) {
    auto fail = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    QDataStream s(bytes);
    Prepare(s);
    quint32 magic = 0, version = 0, count = 0;
    s >> magic >> version >> count;
    if (s.status() != QDataStream::Ok || magic != kDataMagic) return fail("The stored profile data is damaged.");
    if (version > kVersion) return fail("The stored profile data was written by a newer program.");
    // Read everything first: a damaged or misfitting record changes nothing.
    struct Pending {
        CDataObject* object;
        std::vector<double> values;
        std::vector<std::uint8_t> flags;
    };
    std::vector<Pending> pending;
    if (count > quint32(bytes.size() / 10)) return fail("The stored profile data is damaged.");
    for (quint32 i = 0; i < count; ++i) {
        qint32 id = 0;
        quint16 layer = 0, rows = 0, cols = 0;
        s >> id >> layer >> rows >> cols;
        const qsizetype n = qsizetype(rows) * cols;
        if (s.status() != QDataStream::Ok || n * 9 > bytes.size()) return fail("The stored profile data is damaged.");
        auto* d = dynamic_cast<CDataObject*>(project.OpenObject(id, layer, nullptr));
        std::uint16_t r = 0, c = 0;
        if (d) d->GetMaxRowsCols(r, c);
        if (!d || r != rows || c != cols)
            return fail("The stored profile data does not fit the template's structure.");
        Pending p{d, std::vector<double>(size_t(n)), std::vector<std::uint8_t>(size_t(n))};
        for (double& v : p.values) s >> v;
        if (n && s.readRawData(reinterpret_cast<char*>(p.flags.data()), int(n)) != int(n))
            return fail("The stored profile data is damaged.");
        if (s.status() != QDataStream::Ok) return fail("The stored profile data is damaged.");
        pending.push_back(std::move(p));
    }
    for (Pending& p : pending)
        if (p.object->SetAllCells(p.values, p.flags, 1) != 0) return fail("The stored profile data holds bad values.");
    return true;
}

QByteArray EncodeTemplate(const CProject& project) {
    // The template is the project without its numbers: a copy with the
    // profile data blanked.
    CProject copy;
    const auto qs1 = project.SaveProject();
    if (copy.LoadProject(qs1.data(), qs1.size()) != 0) return {};
    for (const Cells& c : ProfileCells(copy)) c.object->RemoveAll();
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    Prepare(s);
    s << kTemplateMagic << kVersion << ToQ(copy.SaveProject()) << ToQ(project.SaveGraphData())
      << ToQ(project.SaveDefGraphStyles());
    return out;
}

bool DecodeTemplate(const QByteArray& bytes, CProject& project) {
    QDataStream s(bytes);
    Prepare(s);
    quint32 magic = 0, version = 0;
    QByteArray qs1, graphs, styles;
    s >> magic >> version >> qs1 >> graphs >> styles;
    if (s.status() != QDataStream::Ok || magic != kTemplateMagic || version > kVersion) return false;
    // Checked on a scratch project first, so a damaged record leaves the project as it was.
    CProject check;
    const auto* d = reinterpret_cast<const std::uint8_t*>(qs1.constData());
    const QSSTATUS st = check.LoadProject(d, size_t(qs1.size()));
    if (st != CProject::LS_OK && st != CProject::LS_OLDER) return false;
    project.LoadProject(d, size_t(qs1.size()));
    if (!graphs.isEmpty())
        project.LoadGraphData(reinterpret_cast<const std::uint8_t*>(graphs.constData()), size_t(graphs.size()));
    if (!styles.isEmpty())
        project.LoadDefGraphStyles(reinterpret_cast<const std::uint8_t*>(styles.constData()), size_t(styles.size()));
    return true;
}

}  // namespace qs::db
