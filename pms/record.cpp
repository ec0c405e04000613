#include "record.h"

namespace pms {

std::optional<std::string> Record::field(std::string_view fieldId) const
{
    for (const auto &[fid, v] : fields)
        if (fid == fieldId)
            return v;
    return std::nullopt;
}

std::string Record::value(std::string_view fieldId) const
{
    return field(fieldId).value_or(std::string());
}

Record &Record::add(std::string fieldId, std::string v)
{
    fields.emplace_back(std::move(fieldId), std::move(v));
    return *this;
}

namespace {
void appendClean(std::string &out, std::string_view text)
{
    for (const char c : text)
        out += (AllowedByte(static_cast<unsigned char>(c)) && c != '|') ? c : ' ';
}
} // namespace

std::string Encode(const Record &record)
{
    std::string out(1, kStx);
    appendClean(out, record.id);
    out += '|';
    for (const auto &[fid, v] : record.fields) {
        appendClean(out, fid);
        appendClean(out, v);
        out += '|';
    }
    out += kEtx;
    return out;
}

std::optional<Record> ParseBody(std::string_view body)
{
    if (body.size() < 3 || body[2] != '|')
        return std::nullopt;
    for (int i = 0; i < 2; ++i) {
        const char c = body[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return std::nullopt;
    }
    Record record;
    record.id = std::string(body.substr(0, 2));
    std::string_view rest = body.substr(3);
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        const std::string_view piece = rest.substr(0, bar);
        if (piece.size() >= 2)
            record.fields.emplace_back(std::string(piece.substr(0, 2)),
                                       std::string(piece.substr(2)));
        if (bar == std::string_view::npos)
            break;
        rest = rest.substr(bar + 1);
    }
    return record;
}

void Reader::dropPartial(Output &out, const std::string &why)
{
    const std::string start = m_body.substr(0, 2);
    out.problems.push_back("record " + (start.empty() ? std::string("?") : start) +
                           " dropped: " + why);
    m_body.clear();
    m_inRecord = false;
}

Reader::Output Reader::feed(std::string_view bytes, std::int64_t nowMs)
{
    Output out = tick(nowMs);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == kStx) {
            if (m_inRecord)
                dropPartial(out, "a new record started before its end");
            if (m_garbage) {
                out.problems.push_back(std::to_string(m_garbage) +
                                       " byte(s) outside any record skipped");
                m_garbage = 0;
            }
            m_inRecord = true;
            m_skipping = false;
            m_startedMs = nowMs;
            m_body.clear();
        } else if (!m_inRecord) {
            if (!m_skipping)
                ++m_garbage;
        } else if (ch == kEtx) {
            if (std::optional<Record> record = ParseBody(m_body))
                out.records.push_back(std::move(*record));
            else
                out.problems.push_back("malformed record dropped");
            m_body.clear();
            m_inRecord = false;
        } else if (!AllowedByte(c)) {
            dropPartial(out, "byte " + std::to_string(c) + " inside a record");
            m_skipping = true;
        } else if (m_body.size() >= kMaxRecordLength) {
            dropPartial(out, "longer than " + std::to_string(kMaxRecordLength) + " bytes");
            m_skipping = true;
        } else {
            m_body += ch;
        }
    }
    return out;
}

Reader::Output Reader::tick(std::int64_t nowMs)
{
    Output out;
    if (m_inRecord && nowMs - m_startedMs > kRecordTimeoutMs) {
        dropPartial(out, "no end within 30 s");
        m_skipping = true;
    }
    return out;
}

void Reader::reset()
{
    m_inRecord = false;
    m_skipping = false;
    m_garbage = 0;
    m_body.clear();
}

} // namespace pms
