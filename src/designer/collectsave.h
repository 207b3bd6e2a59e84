// The file side of the collect-save: where the card-holder table, the
// pictures and the template of a design go when they are gathered into one
// folder, and the copy of the table's three files.
#pragma once

#include <string>

struct CollectTarget {
  std::string Folder;        // the chosen folder, with a trailing separator
  std::string TemplatePath;  // <folder>/<name>.pmt
  std::string PicturePath;   // <folder>/<name>.jpg
};

// The targets in the chosen folder `folder` (with or without a trailing
// separator), named after its last part.
CollectTarget CollectTargetOf(const std::string& folder);

// Empty when the design may be collected into `target`, else why not: a
// folder without a name of its own (the root), or a folder whose template
// would count as a stock template (a path through a "Mode" folder), which
// is never written and would start the collect-save again.
std::string CollectRefusal(const CollectTarget& target);

// The table's file `table` (its .DBF) with the extension replaced.
std::string TableSibling(const std::string& table, const std::string& extension);

// Whether the table's .DBF, .DBT and .MDX all exist.
bool TableFilesExist(const std::string& table);

// Copies the table's .DBF, .DBT and .MDX into `folder` as data.DBF,
// data.DBT and data.MDX. Every file is first copied into a temporary folder
// inside `folder`, and only when all three were copied (and no target is a
// folder) do they replace the targets, so a failed copy leaves the targets
// as they were and a table collected into its own folder is never copied
// onto itself. Returns 0, or
// the number (1 to 3) of the first file that could not be copied; the
// temporary folder is gone in both cases.
int CopyTableFiles(const std::string& table, const std::string& folder);
