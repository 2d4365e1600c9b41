#pragma once

#include "CallerPath.h"
#include "DiskRecord.h"

#include <string>

// The default place of a user's disks: a folder named after the disk inside /media/<user> (or
// /run/media/<user> where the system uses that one). The helper makes /media/<user> itself when
// it is missing (root's, 0750, readable for the user through an access list) and makes and
// removes the disk's folder in it as root: no user can change or swap anything there, so the
// folder needs none of the checks a folder of the caller's own needs.
namespace MediaFolder {

// The folder argument that asks for this place: "@media/<name>" (no absolute path starts so).
constexpr char requestPrefix[] = "@media/";
// The longest folder name, in bytes.
constexpr size_t nameLimitBytes = 255;
// The most folders of one name ("Scratch" ... "Scratch 999").
constexpr unsigned mostNumbers = 999;

// Whether `folder` asks for the default place; `name` is then the disk's name that follows.
bool isRequest(const std::string &folder, std::string &name);

// The disk's name as a folder name: '/', NUL and control bytes as '_', leading dots removed,
// at most 255 bytes (never cutting a UTF-8 character in two); "Ram Disk" when nothing is left.
std::string cleanName(const std::string &name);
// The folder name of the `number`th folder of that name: "<name>", then "<name> 2", ... within
// 255 bytes.
std::string numbered(const std::string &cleaned, unsigned number);

// Makes the disk's folder in the caller's media folder (making that first when missing) and
// pins it in `target` (parent: the media folder, folder: the new folder, helperOwned set).
// 0 done, 1 the system refused, 2 refused request; `problem` says why.
int make(const Caller &caller, const std::string &name, CallerPath::Pinned &target,
         std::string &problem);

// Removes the empty folder `name` in `parent` while it is still the one with that identity and
// the parent is a folder no user can change. True when it is gone.
bool removeIn(int parent, const std::string &name, uint64_t device, uint64_t inode);
// The same for the folder a record names (its parent opened again, never through a link).
bool remove(const DiskRecord &record);

} // namespace MediaFolder
