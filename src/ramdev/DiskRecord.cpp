#include "DiskRecord.h"

#include "Text.h"

#include <map>

std::string DiskRecord::serialize() const
{
    std::string out;
    auto put = [&out](const char *key, const std::string &value) {
        out += key;
        out += '=';
        out += Text::escape(value);
        out += '\n';
    };
    put("loop", std::to_string(loopNumber));
    put("rdev", std::to_string(loopRdev));
    put("memdev", std::to_string(memoryDevice));
    put("meminode", std::to_string(memoryInode));
    put("owner", std::to_string(owner));
    put("blocks", std::to_string(blocks));
    put("formatted", formatted ? "1" : "0");
    put("label", label);
    put("mountpath", mountPath);
    put("mountid", std::to_string(mountId));
    put("madefolder", madeFolder ? "1" : "0");
    put("folderdev", std::to_string(folderDevice));
    put("folderino", std::to_string(folderInode));
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
    uint64_t loop = 0, owner = 0, formatted = 0, made = 0;
    if (!number("loop", loop) || !number("rdev", record.loopRdev) ||
        !number("memdev", record.memoryDevice) || !number("meminode", record.memoryInode) ||
        !number("owner", owner) || !number("blocks", record.blocks) ||
        !number("formatted", formatted) || !number("mountid", record.mountId) ||
        !number("madefolder", made) || !number("folderdev", record.folderDevice) ||
        !number("folderino", record.folderInode) || loop > 1u << 20)
        return false;
    record.loopNumber = int(loop);
    record.owner = uid_t(owner);
    record.formatted = formatted != 0;
    record.madeFolder = made != 0;
    record.label = values["label"];
    record.mountPath = values["mountpath"];
    return true;
}
