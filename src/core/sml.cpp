#include "core/sml.h"

#include <optional>
#include <vector>

namespace voltaris {

namespace {

const QString Truncated = QStringLiteral("Das Telegramm ist unvollständig.");
const QString BadCrc = QStringLiteral("Die Prüfsumme des Telegramms stimmt nicht.");
const QString BadEscape
    = QStringLiteral("Das Telegramm ist beschädigt: es enthält eine unbekannte Escape-Folge.");
const QString BadTree
    = QStringLiteral("Das Telegramm ist beschädigt: seine Felder passen nicht zusammen.");
const QString TooLarge = QStringLiteral("Das Telegramm ist zu groß für einen Zähler.");
const QString Contradicting
    = QStringLiteral("Das Telegramm nennt denselben Zählerstand zweimal mit verschiedenen Werten.");

constexpr uint16_t X25Reflected = 0x8408; // 0x1021, bit-reversed

uint16_t crc16Reflected(QByteArrayView bytes, uint16_t crc)
{
    for (const char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ X25Reflected) : uint16_t(crc >> 1);
    }
    return crc;
}

// A field of the tree. The bytes point into the unescaped data, which
// outlives the tree.
struct Node {
    enum Kind { Octets, Bool, Int, Uint, List, EndOfMessage } kind = Octets;
    QByteArrayView bytes; // the value of an octet string, bool or number
    std::vector<Node> items; // a list's
    bool absent() const { return kind == Octets && bytes.isEmpty(); }
};

class TreeReader {
public:
    explicit TreeReader(QByteArrayView data)
        : data_(data)
    { }
    bool atEnd() const { return pos_ >= data_.size(); }
    uint8_t peek() const { return uint8_t(data_[pos_]); }
    void skip() { ++pos_; }

    // One field and everything below it; false on a broken one.
    bool read(Node &node, int depth)
    {
        if (depth > SmlMaxDepth || atEnd())
            return false;
        const qsizetype start = pos_;
        uint8_t tl = uint8_t(data_[pos_++]);
        if (tl == 0x00) {
            node.kind = Node::EndOfMessage;
            return true;
        }
        const int type = (tl >> 4) & 0x07;
        qsizetype length = tl & 0x0F;
        // Each further type-length byte adds four bits of length; four bytes
        // give far more than a frame holds.
        int tlBytes = 1;
        while (tl & 0x80) {
            if (atEnd() || ++tlBytes > 4)
                return false;
            tl = uint8_t(data_[pos_++]);
            if (tl & 0x70)
                return false;
            length = (length << 4) | (tl & 0x0F);
        }
        if (type == 7) {
            node.kind = Node::List;
            // Every item takes a byte at least.
            if (length > data_.size() - pos_)
                return false;
            node.items.resize(size_t(length));
            for (Node &item : node.items)
                if (!read(item, depth + 1))
                    return false;
            return true;
        }
        // The length of any other field counts its type-length bytes.
        const qsizetype valueLength = length - (pos_ - start);
        if (valueLength < 0 || valueLength > data_.size() - pos_)
            return false;
        switch (type) {
        case 0:
            node.kind = Node::Octets;
            break;
        case 4:
            node.kind = Node::Bool;
            break;
        case 5:
            node.kind = Node::Int;
            break;
        case 6:
            node.kind = Node::Uint;
            break;
        default:
            return false;
        }
        if (node.kind != Node::Octets && (valueLength < 1 || valueLength > 8))
            return false;
        node.bytes = data_.sliced(pos_, valueLength);
        pos_ += valueLength;
        return true;
    }

private:
    QByteArrayView data_;
    qsizetype pos_ = 0;
};

// An integer field's value; none for another kind of field.
std::optional<int64_t> signedOf(const Node &n)
{
    if (n.kind != Node::Int && n.kind != Node::Uint)
        return std::nullopt;
    uint64_t v = 0;
    for (const char ch : n.bytes)
        v = (v << 8) | uint8_t(ch);
    if (n.kind == Node::Uint)
        return v > uint64_t(INT64_MAX) ? std::nullopt : std::optional<int64_t>(int64_t(v));
    const int bits = int(n.bytes.size()) * 8;
    if (bits < 64 && (v >> (bits - 1)) & 1)
        v |= ~uint64_t(0) << bits; // sign-extended
    return int64_t(v);
}

std::optional<uint64_t> unsignedOf(const Node &n)
{
    if (n.kind != Node::Uint)
        return std::nullopt;
    uint64_t v = 0;
    for (const char ch : n.bytes)
        v = (v << 8) | uint8_t(ch);
    return v;
}

constexpr uint64_t GetListResponse = 0x0701;
constexpr uint64_t UnitWh = 30; // DLMS unit code of the watt-hour

// An entry of a GetList.Res value list: objName, status, valTime, unit,
// scaler, value, valueSignature. Only energy in Wh becomes a register.
std::optional<MeterRegister> registerOf(const Node &entry)
{
    if (entry.kind != Node::List || entry.items.size() != 7)
        return std::nullopt;
    const Node &name = entry.items[0];
    if (name.kind != Node::Octets || name.bytes.size() != 6)
        return std::nullopt;
    const auto byte = [&name](int i) { return int(uint8_t(name.bytes[i])); };
    const Obis obis { byte(0), byte(1), byte(2), byte(3), byte(4), byte(5) };
    // F other than 255 is a stored value of an earlier period, not the reading now.
    if (obis.f != 255)
        return std::nullopt;
    const std::optional<uint64_t> unit = unsignedOf(entry.items[3]);
    if (!unit || *unit != UnitWh)
        return std::nullopt;
    int scaler = 0;
    if (!entry.items[4].absent()) {
        const std::optional<int64_t> s
            = entry.items[4].kind == Node::Int ? signedOf(entry.items[4]) : std::nullopt;
        // A real meter's scaler is -1 to 3 or so; beyond ±9 it is damage.
        if (!s || *s < -9 || *s > 9)
            return std::nullopt;
        scaler = int(*s);
    }
    const std::optional<int64_t> value = signedOf(entry.items[5]);
    if (!value || *value < 0)
        return std::nullopt;
    // Wh * 10^scaler = kWh * 10^(scaler - 3), in powers of ten that are exact.
    long double kWh = (long double)(*value);
    for (int i = scaler - 3; i > 0; --i)
        kWh *= 10;
    for (int i = scaler - 3; i < 0; ++i)
        kWh /= 10;
    return MeterRegister { obis, kWh, scaler >= 3 ? 0 : 3 - scaler, QStringLiteral("Wh"),
        scaler > 0 };
}

// The registers of one message: list of transactionId, groupNo,
// abortOnError, messageBody (tag and choice), crc16, endOfSmlMsg.
bool takeMessage(const Node &message, std::vector<MeterRegister> &registers, QString &problem)
{
    if (message.kind != Node::List || message.items.size() != 6
        || message.items[5].kind != Node::EndOfMessage) {
        problem = BadTree;
        return false;
    }
    const Node &body = message.items[3];
    if (body.kind != Node::List || body.items.size() != 2) {
        problem = BadTree;
        return false;
    }
    if (unsignedOf(body.items[0]) != GetListResponse)
        return true; // OpenRes, CloseRes and the like carry no register
    const Node &response = body.items[1];
    // clientId, serverId, listName, actSensorTime, valList, listSignature,
    // actGatewayTime.
    if (response.kind != Node::List || response.items.size() != 7
        || response.items[4].kind != Node::List) {
        problem = BadTree;
        return false;
    }
    for (const Node &entry : response.items[4].items) {
        const std::optional<MeterRegister> r = registerOf(entry);
        if (!r)
            continue;
        bool same = false;
        for (const MeterRegister &known : registers) {
            if (known.obis != r->obis)
                continue;
            if (known.kWh != r->kWh) {
                problem = Contradicting;
                return false;
            }
            same = true;
        }
        if (!same)
            registers.push_back(*r);
    }
    return true;
}

} // namespace

uint16_t crc16X25(QByteArrayView bytes)
{
    return uint16_t(crc16Reflected(bytes, 0xFFFF) ^ 0xFFFF);
}

uint16_t crc16Kermit(QByteArrayView bytes)
{
    return crc16Reflected(bytes, 0x0000);
}

TelegramRead parseSml(QByteArrayView frame)
{
    TelegramRead read { MeterProtocol::Sml, {}, {} };
    const auto fail = [&read](const QString &why) {
        read.registers.clear();
        read.problem = why;
        return read;
    };
    if (frame.size() > SmlMaxFrame)
        return fail(TooLarge);
    // Start, end escape and end: 16 bytes; the frame is padded to whole
    // blocks of four.
    if (frame.size() < 16 || frame.size() % 4 != 0 || !frame.startsWith(QByteArrayView(SmlStart)))
        return fail(Truncated);
    const qsizetype n = frame.size();
    if (frame.sliced(n - 8, 4) != QByteArrayView(SmlEscape) || uint8_t(frame[n - 4]) != 0x1A)
        return fail(Truncated);

    // The CRC goes low byte first; Kermit is found in either order.
    const QByteArrayView covered = frame.first(n - 2);
    const uint16_t sentLowFirst = uint16_t(uint8_t(frame[n - 2]) | uint8_t(frame[n - 1]) << 8);
    const uint16_t sentHighFirst = uint16_t(uint8_t(frame[n - 1]) | uint8_t(frame[n - 2]) << 8);
    const uint16_t kermit = crc16Kermit(covered);
    if (crc16X25(covered) != sentLowFirst && kermit != sentLowFirst && kermit != sentHighFirst)
        return fail(BadCrc);

    // The escape inside the data is sent twice; any other escape before the
    // end is not SML.
    QByteArray data;
    data.reserve(n);
    const QByteArrayView esc(SmlEscape);
    for (qsizetype pos = 8; pos < n - 8; pos += 4) {
        const QByteArrayView block = frame.sliced(pos, 4);
        if (block != esc) {
            data.append(block);
            continue;
        }
        if (pos + 8 > n - 8 || frame.sliced(pos + 4, 4) != esc)
            return fail(BadEscape);
        data.append(block);
        pos += 4;
    }
    const int padding = uint8_t(frame[n - 3]);
    if (padding > 3 || padding > data.size())
        return fail(BadTree);
    for (qsizetype i = data.size() - padding; i < data.size(); ++i)
        if (data[i] != 0)
            return fail(BadTree);
    data.chop(padding);

    TreeReader reader(data);
    bool anyMessage = false;
    while (!reader.atEnd()) {
        if (reader.peek() == 0x00) { // filler between messages
            reader.skip();
            continue;
        }
        Node message;
        if (!reader.read(message, 0))
            return fail(BadTree);
        if (!takeMessage(message, read.registers, read.problem))
            return fail(read.problem);
        anyMessage = true;
    }
    if (!anyMessage)
        return fail(BadTree);
    return read;
}

} // namespace voltaris
