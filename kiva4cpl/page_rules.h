// The decisions of the "Utility" page that do not need Windows: which label to show for an
// interface type and a status reply, when the default-scanner box is checked, what the box
// remembers, and how texts are fitted into the page's fixed buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kiva4cpl {

// Status buffer of the ESC f exchange: the 4-byte reply header and up to 76 data bytes.
inline constexpr std::size_t statusBufferSize = 80;
inline constexpr std::size_t statusHeaderSize = 4;
inline constexpr std::size_t statusDataCapacity = statusBufferSize - statusHeaderSize;
inline constexpr std::size_t statusClearedBytes = 16;
inline constexpr std::uint8_t statusReplyMark = 0x02;

// Data length announced by bytes 2-3 of the reply header (16-bit little-endian).
std::uint16_t announcedDataLength(std::span<const std::uint8_t, statusHeaderSize> header);

// How the announced data bytes are read: the first ones into the buffer behind the header, the
// rest (beyond the 76 that fit) read and dropped so the reply is consumed whole.
struct StatusDataPlan {
    std::size_t keep;
    std::size_t discard;
};
StatusDataPlan statusDataPlan(std::uint16_t announced);

// String id of the interface label: SCSI (2), USB (4), else "Unknown".
int interfaceLabelId(std::uint32_t hardwareConfiguration);

// String id of the option label from the status buffer: feeder attached (data byte 1, bit 0x80)
// wins over the film adapter (data byte 6, bit 0x80); neither gives "NONE".
int optionLabelId(std::span<const std::uint8_t, statusBufferSize> status);

// Interface value stored as PrimaryInterface when no default scanner is chosen.
inline constexpr std::uint32_t noDefaultInterface = 1;

// The box is checked when this scanner is the stored default: same description (exact bytes) and
// same interface. An empty description never matches, since an empty name means "none chosen".
bool isDefaultScanner(std::string_view description, std::uint32_t hardwareConfiguration,
                      std::string_view rememberedName, std::uint32_t rememberedInterface);

// The values to be written at Apply after the box was set or cleared.
struct DefaultScannerChoice {
    std::string name;
    std::uint32_t interfaceType;
};
DefaultScannerChoice defaultScannerChoice(bool checked, std::string_view description,
                                          std::uint32_t hardwareConfiguration);

// Buffer sizes of the page, terminators included.
inline constexpr std::size_t descriptionBufferSize = 80;
inline constexpr std::size_t rememberedNameBufferSize = 88;

// The device description converted with the C library's wide-to-multibyte conversion. The text
// stops before the first character that does not convert or that would not fit a buffer of the
// given size with its terminator; a missing description gives an empty text.
std::string convertDescription(const wchar_t* description,
                               std::size_t bufferSize = descriptionBufferSize);

// Copies text into the buffer, cut to fit and always terminated. True when it fit whole.
bool copyTerminated(std::span<char> destination, std::string_view text);

// The text of a buffer up to its first zero byte, or the whole buffer when it has none.
std::string_view terminatedText(std::span<const char> buffer);

}  // namespace kiva4cpl
