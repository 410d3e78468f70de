#include "CDisplayDefaults.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace qs::project {
namespace {

class DisplayRecordWriter {
public:
    void Text(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        const auto n = std::uint32_t(bytes.size());
        if (n < 255) {
            Int(n, 1);
        } else if (n < 65534) {
            Int(255, 1);
            Int(n, 2);
        } else {
            Int(255, 1);
            Int(65535, 2);
            Int(n, 4);
        }
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }
    void Int(std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) m_out.push_back(std::uint8_t(value >> (8 * i)));
    }
    std::vector<std::uint8_t> m_out;
};

class DisplayRecordReader {
public:
    explicit DisplayRecordReader(const std::vector<std::uint8_t>& in) : m_in(in) {}
    bool Int(std::uint32_t& value, int size) {
        if (m_pos + std::size_t(size) > m_in.size()) return false;
        value = 0;
        for (int i = 0; i < size; ++i) value |= std::uint32_t(m_in[m_pos++]) << (8 * i);
        return true;
    }
    bool Text(QString& text) {
        std::uint32_t n = 0;
        if (!Int(n, 1)) return false;
        if (n == 255) {
            if (!Int(n, 2)) return false;
            if (n == 65535 && !Int(n, 4)) return false;
        }
        if (n > m_in.size() - m_pos) return false;
        text = QString::fromUtf8(reinterpret_cast<const char*>(m_in.data() + m_pos), qsizetype(n));
        m_pos += n;
        return true;
    }
    bool AtEnd() const { return m_pos == m_in.size(); }

private:
    const std::vector<std::uint8_t>& m_in;
    std::size_t m_pos = 0;
};

QString DefaultsPath(const QString& directory) {
    return QDir(directory).filePath(QString::fromLatin1(kDisplayDefaultsFile));
}

}  // namespace

std::vector<std::uint8_t> EncodeDisplayDefaults(const CDisplaySettings& s) {
    DisplayRecordWriter w;
    w.Text(s.currencySymbol);
    w.Text(s.NegativeSymbol());
    w.Text(QString());
    w.Int(std::uint8_t(s.thousandsSeparator), 1);
    w.Int(std::uint8_t(s.decimalSeparator), 1);
    w.Int(std::uint32_t(s.currencyPosition), 4);
    w.Int(std::uint32_t(s.NegativeLeading()), 4);
    w.Int(0, 4);
    w.Int(std::uint32_t(s.useThousands), 4);
    w.Int(std::uint16_t(s.decimals), 2);
    return std::move(w.m_out);
}

std::optional<CDisplaySettings> DecodeDisplayDefaults(const std::vector<std::uint8_t>& bytes) {
    DisplayRecordReader r(bytes);
    CDisplaySettings s;
    QString negative, unused;
    std::uint32_t thousands = 0, decimal = 0, position = 0, leading = 0, zero = 0, useThousands = 0, decimals = 0;
    if (!r.Text(s.currencySymbol) || !r.Text(negative) || !r.Text(unused) || !r.Int(thousands, 1) ||
        !r.Int(decimal, 1) || !r.Int(position, 4) || !r.Int(leading, 4) || !r.Int(zero, 4) ||
        !r.Int(useThousands, 4) || !r.Int(decimals, 2) || !r.AtEnd())
        return std::nullopt;
    s.thousandsSeparator = char(thousands);
    s.decimalSeparator = char(decimal);
    s.currencyPosition = std::int32_t(position);
    s.negativeFormat = CDisplaySettings::NegativeFormatOf(negative, int(leading));
    s.useThousands = int(useThousands);
    s.decimals = std::int16_t(decimals);
    return s;
}

bool LoadDisplayDefaults(const QString& directory, CDisplaySettings& settings) {
    if (directory.isEmpty()) return false;
    QFile file(DefaultsPath(directory));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    const auto decoded = DecodeDisplayDefaults(std::vector<std::uint8_t>(data.begin(), data.end()));
    if (!decoded) return false;
    settings = *decoded;
    return true;
}

bool StoreDisplayDefaults(const QString& directory, const CDisplaySettings& settings) {
    if (directory.isEmpty()) return false;
    QSaveFile file(DefaultsPath(directory));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto bytes = EncodeDisplayDefaults(settings);
    if (file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size()))
        return false;
    return file.commit();
}

}  // namespace qs::project
