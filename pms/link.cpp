#include "link.h"

namespace pms {

Link::Link(Config config) : m_config(std::move(config)) {}

const std::vector<std::pair<std::string, std::string>> &Link::recordTypes()
{
    static const std::vector<std::pair<std::string, std::string>> types = {
        {"KR", "KCKTRNWSGAGDDTGNG#IDDATI"},
        {"KD", "KCRNWSG#DATI"},
        {"KA", "ASCTKCWSG#DATI"},
        {"KZ", "KCWSRNGNGDDTASCTDATI"},
    };
    return types;
}

Record Link::stamped(const char *id) const
{
    Record r;
    r.id = id;
    const auto [da, ti] = m_config.stamp();
    r.add("DA", da).add("TI", ti);
    return r;
}

std::vector<Record> Link::startAnswer() const
{
    std::vector<Record> out;
    Record ld = stamped("LD");
    ld.add("V#", m_config.version).add("IF", "DL");
    if (m_config.authenticate && !m_lastStamp.empty())
        ld.add("RT", m_lastStampId).add("CG", m_config.authenticate(m_lastStamp));
    out.push_back(ld);
    for (const auto &[id, fields] : recordTypes()) {
        Record lr;
        lr.id = "LR";
        lr.add("RI", id).add("FL", fields);
        out.push_back(lr);
    }
    out.push_back(stamped("LA"));
    return out;
}

void Link::connected(std::int64_t nowMs)
{
    m_state = State::Starting;
    m_connectedMs = nowMs;
    m_heard = false;
    m_sentStart = false;
    m_lastStamp.clear();
    m_lastStampId.clear();
}

void Link::disconnected()
{
    m_state = State::Down;
}

std::vector<Record> Link::tick(std::int64_t nowMs)
{
    if (m_state != State::Starting || m_heard || m_sentStart ||
        nowMs - m_connectedMs < kStartDelayMs)
        return {};
    m_sentStart = true;
    return {stamped("LS")};
}

Link::Step Link::received(const Record &record)
{
    Step step;
    if (m_state == State::Down)
        return step;
    m_heard = true;
    const std::string &id = record.id;
    if (id == "LS" || id == "LA") {
        if (record.field("DA") && record.field("TI")) {
            m_lastStampId = id;
            m_lastStamp = id + "|DA" + record.value("DA") + "|TI" + record.value("TI") + "|";
        }
        if (id == "LS" || m_state != State::Alive) {
            step.send = startAnswer();
            m_state = State::Alive;
        } else {
            step.send.push_back(stamped("LA"));
        }
    } else if (id == "LE") {
        m_state = State::Starting;
        m_sentStart = true; // the other side starts the link again
        step.problem = "link end received";
    } else if (id == "LD" || id == "LR") {
        // The other side's description of itself: nothing to answer.
    } else if (id == "KR" || id == "KD" || id == "KZ" || id == "KM") {
        if (m_state == State::Alive)
            step.data = record;
        else
            step.problem = "record " + id + " dropped: the link is not up";
    } else {
        step.problem = "unknown record " + id + " dropped";
    }
    return step;
}

} // namespace pms
