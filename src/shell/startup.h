#pragma once

#include <optional>

class FolderLock;
class Store;
struct DataLocation;

// Opens the data of this run, asking the user through Messages where files or schemas are
// missing or files are in use. Data in files is first taken for this copy of the program (the
// lock is made in `lock`, which must outlive the store); on a server any number of copies work
// together. False when the start ends here, because the user declined or the data cannot be
// used (the user has been told why).
bool openData(const DataLocation &location, std::optional<FolderLock> &lock, Store &store);
