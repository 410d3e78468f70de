#include "ExhibitDefaultsFiles.h"

#include <QFile>

#include <memory>

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CException.h"
#include "MessageBox.h"
#include "ValueArrays.h"

namespace qs::views::defaults {

namespace {

std::vector<std::uint8_t> Build(const std::function<void(CArchive&)>& fields) {
    std::vector<std::uint8_t> bytes;
    CArchive ar(bytes, CArchive::store);
    fields(ar);
    ar.Close();
    return bytes;
}

// Writes the whole content to a temporary beside the target and renames it
// over the target, so a failed write never leaves a truncated file behind.
bool WriteFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    CAtomicFile file;
    if (!file.Open(path.toStdString())) {
        AfxMessageBox(QStringLiteral("File %1 could not be opened. Please verify the paths in workstation settings are "
                                     "correct.")
                          .arg(path),
                      MB_OK);
        return false;
    }
    try {
        {
            CArchive ar(&file, CArchive::store, 4096);
            ar.Write(bytes.data(), bytes.size());
            ar.Close();
        }
        if (BeforeCommitHook()) BeforeCommitHook()();
        file.Commit();
    } catch (const CException& e) {
        file.Abort();
        AfxMessageBox(QString::fromUtf8(e.what()), MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool ReadFile(const QString& path, std::vector<std::uint8_t>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = f.readAll();
    bytes.assign(data.begin(), data.end());
    return true;
}

// Runs the reader over the whole file; false when it throws or leaves bytes over.
bool Parse(const QString& path, const std::function<void(CArchive&)>& fields) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) return false;
    try {
        CArchive ar(bytes, CArchive::load);
        fields(ar);
        return ar.GetBytesRemaining() == 0;
    } catch (const CException&) {
        return false;
    }
}

}  // namespace

std::function<void()>& BeforeCommitHook() {
    static std::function<void()> hook;
    return hook;
}

QString PathOf(const QString& workingDirectory, const char* name) {
    return workingDirectory + QString::fromLatin1(name);
}

std::vector<std::uint8_t> StatsBytes(const std::vector<CStatistics::Record>& rows) {
    return Build([&](CArchive& ar) {
        // All records live until the archive is done: it tells objects apart
        // by address, and a reused address would be written as a reference.
        std::vector<CByteArray> records(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (unsigned char b : rows[i]) records[i].Add(b);
        ar.WriteCount(records.size());
        for (const CByteArray& record : records) ar.WriteObject(&record);
    });
}

std::vector<std::uint8_t> SelectionsBytes(const std::array<int, 6>& values) {
    return Build([&](CArchive& ar) {
        for (int v : values) ar << std::int32_t(v);
    });
}

std::vector<std::uint8_t> InterpolationBytes(const InterpolationDefaults& d) {
    return Build([&](CArchive& ar) {
        ar.WriteCount(d.selections.size());
        for (const CInterpolateSelection& s : d.selections) ar.WriteObject(&s);
        ar << std::int32_t(d.display) << std::int32_t(d.useInMethods) << std::int32_t(d.abbreviate);
        // Stored inverted with respect to the enumerations: 1 for Accident and
        // for the full period ultimate.
        ar << std::int32_t(d.period == PERIOD_ACCIDENT ? 1 : 0);
        ar << std::int32_t(d.adjustment == ADJ_FULL_PERIOD_ULTIMATE ? 1 : 0);
    });
}

std::vector<std::uint8_t> ExhibitStatsBytes(const QSIDArray& ids) {
    return Build([&](CArchive& ar) {
        ar.WriteCount(ids.size());
        for (QSID id : ids) ar << std::int32_t(id);
    });
}

bool WriteStats(const QString& dir, const std::vector<CStatistics::Record>& rows) {
    return WriteFile(PathOf(dir, kStatsFile), StatsBytes(rows));
}

bool WriteSelections(const QString& dir, const std::array<int, 6>& values) {
    return WriteFile(PathOf(dir, kSelectionsFile), SelectionsBytes(values));
}

bool WriteInterpolation(const QString& dir, const InterpolationDefaults& d) {
    return WriteFile(PathOf(dir, kInterpolationFile), InterpolationBytes(d));
}

bool WriteExhibitStats(const QString& dir, const QSIDArray& ids) {
    return WriteFile(PathOf(dir, kExhibitStatsFile), ExhibitStatsBytes(ids));
}

bool ReadStats(const QString& dir, std::vector<CStatistics::Record>& rows) {
    std::vector<CStatistics::Record> read;
    const bool ok = Parse(PathOf(dir, kStatsFile), [&](CArchive& ar) {
        const std::size_t n = ar.ReadCount(13);
        for (std::size_t i = 0; i < n; ++i) {
            std::unique_ptr<CObject> obj(ar.ReadObject(RUNTIME_CLASS(CByteArray)));
            auto* bytes = dynamic_cast<CByteArray*>(obj.get());
            if (bytes == nullptr || bytes->GetSize() != 9) throw CArchiveException(CArchiveException::genericException, "unexpected record");
            CStatistics::Record r{};
            for (int k = 0; k < 9; ++k) r[std::size_t(k)] = bytes->GetAt(k);
            read.push_back(r);
        }
    });
    if (ok) rows = std::move(read);
    return ok;
}

bool ReadSelections(const QString& dir, std::array<int, 6>& values) {
    std::array<int, 6> read{};
    const bool ok = Parse(PathOf(dir, kSelectionsFile), [&](CArchive& ar) {
        for (int& v : read) {
            std::int32_t x = 0;
            ar >> x;
            v = x;
        }
    });
    if (ok) values = read;
    return ok;
}

bool ReadInterpolation(const QString& dir, InterpolationDefaults& d) {
    InterpolationDefaults read;
    const bool ok = Parse(PathOf(dir, kInterpolationFile), [&](CArchive& ar) {
        const std::size_t n = ar.ReadCount(2);
        for (std::size_t i = 0; i < n; ++i) {
            std::unique_ptr<CObject> obj(ar.ReadObject(RUNTIME_CLASS(CInterpolateSelection)));
            auto* s = dynamic_cast<CInterpolateSelection*>(obj.get());
            if (s == nullptr) throw CArchiveException(CArchiveException::genericException, "unexpected record");
            read.selections.push_back(*s);
        }
        std::int32_t display = 0, use = 0, abbreviate = 0, accident = 0, full = 0;
        ar >> display >> use >> abbreviate >> accident >> full;
        read.display = display;
        read.useInMethods = use;
        read.abbreviate = abbreviate;
        read.period = accident ? PERIOD_ACCIDENT : PERIOD_POLICY;
        read.adjustment = full ? ADJ_FULL_PERIOD_ULTIMATE : ADJ_PARTIAL_PERIOD_ULTIMATE;
    });
    if (ok) d = std::move(read);
    return ok;
}

bool ReadExhibitStats(const QString& dir, QSIDArray& ids) {
    QSIDArray read;
    const bool ok = Parse(PathOf(dir, kExhibitStatsFile), [&](CArchive& ar) {
        const std::size_t n = ar.ReadCount(4);
        for (std::size_t i = 0; i < n; ++i) {
            std::int32_t id = 0;
            ar >> id;
            read.push_back(QSID(id));
        }
    });
    if (ok) ids = std::move(read);
    return ok;
}

}  // namespace qs::views::defaults
