#include "wlan/linux/bus/bus_message_reading.h"

#include <cerrno>
#include <cstring>

namespace wlanlinux {
namespace {

// Group names, interface names and keys are short; longer ones match nothing.
constexpr std::size_t kKeyLimit = 128;

int Malformed(int result) { return result < 0 ? result : -EBADMSG; }

// One group: its name, then its {key: variant} entries.
int ReadGroup(sd_bus_message* message, const PropertyVisitor& property) {
    std::string group;
    const int result = ReadText(message, 's', group, kKeyLimit);
    if (result < 0) return result;
    return ReadProperties(message, [&](const std::string& key) { return property(group, key); });
}

// A variant holding an array of strings or object paths (`type`), read as
// ReadVariantTextList says.
int ReadVariantList(sd_bus_message* message, char type, std::vector<std::string>& values,
                    std::size_t count, std::size_t limit) {
    const char array[3] = {'a', type, 0};
    int result = EnterVariant(message, array);
    if (result <= 0) return result;
    if ((result = sd_bus_message_enter_container(message, 'a', array + 1)) <= 0) return Malformed(result);
    std::string value;
    while ((result = sd_bus_message_peek_type(message, nullptr, nullptr)) > 0) {
        if ((result = ReadText(message, type, value, limit)) < 0) return result;
        if (values.size() < count) values.push_back(value);
    }
    if (result < 0 || (result = sd_bus_message_exit_container(message)) < 0) return result;
    result = sd_bus_message_exit_container(message);
    return result < 0 ? result : 1;
}

}  // namespace

int EnterVariant(sd_bus_message* message, const char* contents) {
    char type = 0;
    const char* held = nullptr;
    int result = sd_bus_message_peek_type(message, &type, &held);
    if (result <= 0 || type != 'v' || held == nullptr) return Malformed(result);
    if (std::strcmp(held, contents) != 0) {
        result = sd_bus_message_skip(message, "v");
        return result < 0 ? result : 0;
    }
    result = sd_bus_message_enter_container(message, 'v', contents);
    return result <= 0 ? Malformed(result) : 1;
}

int ReadText(sd_bus_message* message, char type, std::string& value, std::size_t limit) {
    const char* text = nullptr;
    const int result = sd_bus_message_read_basic(message, type, &text);
    if (result <= 0) return result < 0 ? result : -EBADMSG;
    value.assign(text, strnlen(text, limit));
    return 0;
}

int ReadVariantText(sd_bus_message* message, char type, std::string& value, std::size_t limit) {
    const char contents[2] = {type, 0};
    int result = EnterVariant(message, contents);
    if (result <= 0) return result;
    result = ReadText(message, type, value, limit);
    if (result < 0) return result;
    result = sd_bus_message_exit_container(message);
    return result < 0 ? result : 1;
}

int ReadVariantBytes(sd_bus_message* message, std::string& value, std::size_t limit) {
    int result = EnterVariant(message, "ay");
    if (result <= 0) return result;
    const void* bytes = nullptr;
    std::size_t size = 0;
    result = sd_bus_message_read_array(message, 'y', &bytes, &size);
    if (result < 0) return result;
    const bool taken = size <= limit;
    if (taken) value.assign(static_cast<const char*>(bytes), size);
    result = sd_bus_message_exit_container(message);
    return result < 0 ? result : (taken ? 1 : 0);
}

int ReadVariantBool(sd_bus_message* message, bool& value) {
    int result = EnterVariant(message, "b");
    if (result <= 0) return result;
    int read = 0;
    if ((result = sd_bus_message_read_basic(message, 'b', &read)) <= 0) return Malformed(result);
    value = read != 0;
    result = sd_bus_message_exit_container(message);
    return result < 0 ? result : 1;
}

int ReadVariantTextList(sd_bus_message* message, std::vector<std::string>& values,
                        std::size_t count, std::size_t limit) {
    return ReadVariantList(message, 's', values, count, limit);
}

int ReadVariantPathList(sd_bus_message* message, std::vector<std::string>& values,
                        std::size_t count, std::size_t limit) {
    return ReadVariantList(message, 'o', values, count, limit);
}

int ReadProperties(sd_bus_message* message, const KeyVisitor& property) {
    std::string key;
    int result = sd_bus_message_enter_container(message, 'a', "{sv}");
    if (result <= 0) return Malformed(result);
    while ((result = sd_bus_message_enter_container(message, 'e', "sv")) > 0) {
        if ((result = ReadText(message, 's', key, kKeyLimit)) < 0) return result;
        if ((result = property(key)) < 0) return result;
        if ((result = sd_bus_message_exit_container(message)) < 0) return result;
    }
    if (result < 0) return result;
    return sd_bus_message_exit_container(message);
}

int ReadGroupedProperties(sd_bus_message* message, const PropertyVisitor& property) {
    int result = sd_bus_message_enter_container(message, 'a', "{sa{sv}}");
    if (result <= 0) return Malformed(result);
    while ((result = sd_bus_message_enter_container(message, 'e', "sa{sv}")) > 0) {
        if ((result = ReadGroup(message, property)) < 0) return result;
        if ((result = sd_bus_message_exit_container(message)) < 0) return result;
    }
    if (result < 0) return result;
    return sd_bus_message_exit_container(message);
}

}  // namespace wlanlinux
