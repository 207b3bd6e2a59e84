// Paths that templates made on Windows carry in their last section: a
// drive letter, backslashes and any letter case. The template's text is
// already decoded from GBK here, so a backslash is always a separator and
// never the second byte of a Chinese character.
#pragma once

#include <string>

// The local path: the drive is dropped, '\' becomes '/', and each part is
// found ignoring letter case in its parent folder (a part found in no case
// keeps its spelling). Relative paths are taken from `base`.
std::string MapTemplatePath(const std::string& stored, const std::string& base);

// The first existing file of: the mapped path, the template's folder plus
// the file name, the template's folder plus the template's name less its
// extension plus the file name. Empty when none exists or `stored` is empty.
std::string FindTemplateFile(const std::string& stored, const std::string& templatePath, const std::string& base);

// The folder of the card-holder table: the first of the stored folder
// (relative ones, the stock "Mode\DATA\" among them, taken from `base`), the
// template's folder plus its name less the extension, and the template's
// folder, that holds data.MDX, data.DBF and data.DBT (ignoring case).
// Empty when none does.
std::string FindTableFolder(const std::string& stored, const std::string& templatePath, const std::string& base);
