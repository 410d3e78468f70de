#include "ExhibitDefaultsFiles.h"

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CException.h"
#include "CFile.h"
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

// The files are a few hundred bytes; anything far larger is not one of them.
constexpr std::uint64_t kLargestFile = 1u << 20;

// Only a regular file is read: a pipe or a device named like a defaults file
// would otherwise hold the program until something writes to it.
bool ReadFile(const QString& path, std::vector<std::uint8_t>& bytes) {
    CFile file;
    if (!file.Open(path.toStdString(), CFile::modeRead | CFile::shareDenyNone)) return false;
    try {
        const std::uint64_t length = file.GetLength();
        if (length > kLargestFile) return false;
        bytes.assign(static_cast<std::size_t>(length), 0);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::size_t n = file.Read(bytes.data() + got, bytes.size() - got);
            if (n == 0) break;
            got += n;
        }
        bytes.resize(got);
    } catch (const CException&) {
        return false;
    }
    return true;
}

// Runs the reader over the whole content; false when it throws or leaves bytes over.
bool Parse(const std::vector<std::uint8_t>& bytes, const std::function<void(CArchive&)>& fields) {
    std::vector<std::uint8_t> copy(bytes);  // the archive reads from a buffer it may hold on to
    try {
        CArchive ar(copy, CArchive::load);
        fields(ar);
        return ar.GetBytesRemaining() == 0;
    } catch (const CException&) {
        return false;
    }
}

// The objects one load reads. The archive keeps each in its table of objects
// until the load ends, since a later entry may be a reference back to an
// earlier one (the same address again): they are deleted together, each
// once, when the load is over, whether it succeeded or not.
class LoadedObjects {
public:
    explicit LoadedObjects(CArchive& ar) : m_ar(ar), m_mark(ar.GetLoadMark()) {}
    ~LoadedObjects() { m_ar.DeleteLoadedSince(m_objects, m_mark); }
    LoadedObjects(const LoadedObjects&) = delete;
    LoadedObjects& operator=(const LoadedObjects&) = delete;

    template <typename T>
    const T& Read() {
        CObject* obj = m_ar.ReadObject(RUNTIME_CLASS(T));
        if (obj != nullptr) m_objects.push_back(obj);
        const auto* typed = dynamic_cast<const T*>(obj);
        if (typed == nullptr) throw CArchiveException(CArchiveException::genericException, "unexpected record");
        return *typed;
    }

private:
    CArchive& m_ar;
    std::size_t m_mark;
    std::vector<CObject*> m_objects;
};

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

bool ParseStats(const std::vector<std::uint8_t>& bytes, std::vector<CStatistics::Record>& rows) {
    std::vector<CStatistics::Record> read;
    const bool ok = Parse(bytes, [&](CArchive& ar) {
        LoadedObjects objects(ar);
        const std::size_t n = ar.ReadCount(13);
        for (std::size_t i = 0; i < n; ++i) {
            const CByteArray& record = objects.Read<CByteArray>();
            if (record.GetSize() != 9) throw CArchiveException(CArchiveException::genericException, "unexpected record");
            CStatistics::Record r{};
            for (int k = 0; k < 9; ++k) r[std::size_t(k)] = record.GetAt(k);
            read.push_back(r);
        }
    });
    if (ok) rows = std::move(read);
    return ok;
}

bool ReadStats(const QString& dir, std::vector<CStatistics::Record>& rows) {
    std::vector<std::uint8_t> bytes;
    return ReadFile(PathOf(dir, kStatsFile), bytes) && ParseStats(bytes, rows);
}

bool ParseSelections(const std::vector<std::uint8_t>& bytes, std::array<int, 6>& values) {
    std::array<int, 6> read{};
    const bool ok = Parse(bytes, [&](CArchive& ar) {
        for (int& v : read) {
            std::int32_t x = 0;
            ar >> x;
            v = x;
        }
    });
    if (ok) values = read;
    return ok;
}

bool ReadSelections(const QString& dir, std::array<int, 6>& values) {
    std::vector<std::uint8_t> bytes;
    return ReadFile(PathOf(dir, kSelectionsFile), bytes) && ParseSelections(bytes, values);
}

bool ParseInterpolation(const std::vector<std::uint8_t>& bytes, InterpolationDefaults& d) {
    InterpolationDefaults read;
    const bool ok = Parse(bytes, [&](CArchive& ar) {
        LoadedObjects objects(ar);
        const std::size_t n = ar.ReadCount(2);
        for (std::size_t i = 0; i < n; ++i) read.selections.push_back(objects.Read<CInterpolateSelection>());
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

bool ReadInterpolation(const QString& dir, InterpolationDefaults& d) {
    std::vector<std::uint8_t> bytes;
    return ReadFile(PathOf(dir, kInterpolationFile), bytes) && ParseInterpolation(bytes, d);
}

bool ParseExhibitStats(const std::vector<std::uint8_t>& bytes, QSIDArray& ids) {
    QSIDArray read;
    const bool ok = Parse(bytes, [&](CArchive& ar) {
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

bool ReadExhibitStats(const QString& dir, QSIDArray& ids) {
    std::vector<std::uint8_t> bytes;
    return ReadFile(PathOf(dir, kExhibitStatsFile), bytes) && ParseExhibitStats(bytes, ids);
}

}  // namespace qs::views::defaults
