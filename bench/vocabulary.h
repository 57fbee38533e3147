#pragma once

#include <vector>

// The words a dealer's files are made of: real herb names with their pinyin initials, places of
// origin, grades, partners. The generator combines them into catalogue, stock and lines.
namespace Vocabulary {

struct Herb
{
    const char *name;
    const char *initials;
};

struct Suffix
{
    const char *text;     // appended to the herb name: a cut or a processing
    const char *initials; // appended to the pinyin initials
};

const std::vector<Herb> &herbs();
const std::vector<Suffix> &suffixes();
const std::vector<const char *> &origins();
const std::vector<const char *> &grades();
const std::vector<const char *> &units();
const std::vector<const char *> &storeRooms();
const std::vector<const char *> &categories();
const std::vector<const char *> &functions();
const std::vector<const char *> &places();
const std::vector<const char *> &supplierKinds();
const std::vector<const char *> &customerKinds();

} // namespace Vocabulary
