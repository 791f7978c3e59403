#pragma once

#include <string>

// A record is named by its file's name: the part of the path after the last
// '/' or '\' (a file chosen on either kind of system). A report path is split
// at the same place into its folder and its file name.

// The file name: the whole path when it has no separator, "" when it ends in one.
std::string FileNameOfPath(const std::string& path);

// The folder: what comes before the last separator; "." when the path has none,
// and the separator itself for a file at the root ("/a" gives "/").
std::string FolderOfPath(const std::string& path);
