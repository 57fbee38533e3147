#pragma once

class FolderLock;
class Store;

// Opens the data of this run: takes the data folder for this copy of the program, then opens its
// files, asking the user through Messages where files are missing or in use. False when the
// start ends here, because the user declined or the data cannot be used (the user has been
// told why).
bool openDataFolder(FolderLock &lock, Store &store);
