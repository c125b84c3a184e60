#pragma once

// Choosing a file to open or save, asking before one is replaced, and telling why a file
// could not be read or written: what the windows that keep their own files share. Texts come
// from the "FileMessages" table in the current language.

#include <exception>
#include <string>
#include <string_view>

namespace vx {

// The text of an identifier of the file messages, in the current language.
std::string FileMessage(std::string_view id);

// An open or save dialog starting in initialDir with the filter ("Description|*.ext") and
// the proposed name. A saved name gets the extension ext (without its point) in place of its
// own, then ConfirmReplace. The chosen path; empty when cancelled or not to be replaced.
std::string ChooseFile(bool save, const std::string& initialDir, const std::string& filter,
                       const std::string& ext, const std::string& proposed = {});

// Whether the file `final` may be written after the user named `named` in a save dialog: a
// dialog asks about the name it shows itself, so only a different file that exists is asked
// about, by name (Yes/No).
bool ConfirmReplace(const std::string& named, const std::string& final);

// The message for a failed read or save of fileName: a document, project or graph file error
// says what was wrong with the file and where its reading stopped; any other failure says
// that the file could not be saved or read.
std::string FileErrorText(const std::exception& error, const std::string& fileName, bool saving);

// The message of any error shown to the user: a file that could not be opened or created is
// named in the current language with the system's reason after it; other errors keep their
// own message.
std::string ErrorMessageText(const std::exception& error);

} // namespace vx
