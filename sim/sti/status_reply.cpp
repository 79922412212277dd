#include "sim/sti/status_reply.h"

namespace sim::sti {

namespace {

void appendWord(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

std::vector<std::uint8_t> classicStatusReply(const ClassicStatus& status, std::uint8_t mark,
                                             std::uint16_t extraDataBytes) {
    std::vector<std::uint8_t> data;
    data.push_back(status.mainStatus);
    data.push_back(status.feederStatus);
    appendWord(data, status.feederWidth);
    appendWord(data, status.feederHeight);
    data.push_back(status.filmStatus);
    appendWord(data, status.filmWidth);
    appendWord(data, status.filmHeight);
    data.push_back(status.furtherStatus);
    data.resize(data.size() + extraDataBytes, 0);

    std::vector<std::uint8_t> reply = {mark, status.headerStatus};
    appendWord(reply, static_cast<std::uint16_t>(data.size()));
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

}  // namespace sim::sti
