#include "DiskRecord.h"

#include "Text.h"

#include <map>

namespace {

struct KindNames
{
    DiskRecord::Kind kind;
    const char *word;
    const char *devicePrefix;
    const char *filePrefix;
};

constexpr KindNames kindNames[] = {
    {DiskRecord::Kind::Block, "block", "/dev/loop", "loop"},
    {DiskRecord::Kind::Compressed, "compressed", "/dev/zram", "zram"},
    {DiskRecord::Kind::Memory, "memory", "vellumar-mem", "mem"},
};

const KindNames &namesOf(DiskRecord::Kind kind)
{
    for (const KindNames &names : kindNames) {
        if (names.kind == kind)
            return names;
    }
    return kindNames[0];
}

} // namespace

const char *DiskRecord::kindName(Kind kind)
{
    return namesOf(kind).word;
}

bool DiskRecord::parseKind(const std::string &word, Kind &kind)
{
    for (const KindNames &names : kindNames) {
        if (word == names.word) {
            kind = names.kind;
            return true;
        }
    }
    return false;
}

bool DiskRecord::parseDevice(const std::string &device, Kind &kind, int &number)
{
    for (const KindNames &names : kindNames) {
        const std::string prefix = names.devicePrefix;
        uint64_t value = 0;
        if (device.compare(0, prefix.size(), prefix) == 0 &&
            Text::parseUnsigned(device.substr(prefix.size()), value) && value < 1u << 20) {
            kind = names.kind;
            number = int(value);
            return true;
        }
    }
    return false;
}

std::string DiskRecord::device() const
{
    return namesOf(kind).devicePrefix + std::to_string(number);
}

std::string DiskRecord::fileName() const
{
    return namesOf(kind).filePrefix + std::to_string(number) + ".disk";
}

std::string DiskRecord::serialize() const
{
    std::string out;
    auto put = [&out](const char *key, const std::string &value) {
        out += key;
        out += '=';
        out += Text::escape(value);
        out += '\n';
    };
    put("kind", kindName(kind));
    put("number", std::to_string(number));
    put("id", std::to_string(id));
    put("rdev", std::to_string(loopRdev));
    put("memdev", std::to_string(memoryDevice));
    put("meminode", std::to_string(memoryInode));
    put("algorithm", algorithm);
    put("owner", std::to_string(owner));
    put("blocks", std::to_string(blocks));
    put("formatted", formatted ? "1" : "0");
    put("label", label);
    put("mountpath", mountPath);
    put("mountid", std::to_string(mountId));
    put("superblock", std::to_string(superblock));
    put("madefolder", madeFolder ? "1" : "0");
    put("helperfolder", helperFolder ? "1" : "0");
    put("folderdev", std::to_string(folderDevice));
    put("folderino", std::to_string(folderInode));
    put("noswap", keptOutOfSwap ? "1" : "0");
    return out;
}

bool DiskRecord::parse(const std::string &text, DiskRecord &record)
{
    std::map<std::string, std::string> values;
    for (const std::string &line : Text::lines(text)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = Text::unescape(line.substr(equals + 1));
    }
    auto number = [&values](const char *key, uint64_t &value) {
        return Text::parseUnsigned(values[key], value);
    };
    // Records written before disks had kinds name a loop device and nothing newer.
    if (values.count("loop") && !values.count("kind")) {
        values["kind"] = "block";
        values["number"] = values["loop"];
        values["id"] = values["meminode"];
        values["superblock"] = values["noswap"] = "0";
    }
    uint64_t disk = 0, owner = 0, formatted = 0, made = 0, noswap = 0;
    if (!parseKind(values["kind"], record.kind) || !number("number", disk) ||
        !number("id", record.id) || !number("rdev", record.loopRdev) ||
        !number("memdev", record.memoryDevice) || !number("meminode", record.memoryInode) ||
        !number("owner", owner) || !number("blocks", record.blocks) ||
        !number("formatted", formatted) || !number("mountid", record.mountId) ||
        !number("superblock", record.superblock) || !number("madefolder", made) ||
        !number("folderdev", record.folderDevice) || !number("folderino", record.folderInode) ||
        !number("noswap", noswap) || disk > 1u << 20)
        return false;
    record.number = int(disk);
    record.owner = uid_t(owner);
    record.formatted = formatted != 0;
    record.madeFolder = made != 0;
    // Records written before the helper made folders of its own have no such key.
    record.helperFolder = values["helperfolder"] == "1";
    record.keptOutOfSwap = noswap != 0;
    record.algorithm = values["algorithm"];
    record.label = values["label"];
    record.mountPath = values["mountpath"];
    return true;
}
