#pragma once

#include <string>

namespace vorlan {

// Finds the picture that an entity record names. The names were written on Windows: "\" separates
// folders, letter case does not matter there, and absolute paths start with a drive letter. The name
// is tried relative to the folder of the document being read, then relative to the current directory,
// then with any letter case in the document's folder. A drive-letter or network path cannot exist here,
// so only its last component is looked for in the document's folder. The result is the path of an
// existing file, or empty when there is none.
std::string resolveTextureFile(const std::string& storedName, const std::string& documentFolder);

// The folder of the document whose bytes a cursor reads, from the cursor's file name.
std::string documentFolderOf(const std::string& documentFileName);

} // namespace vorlan
