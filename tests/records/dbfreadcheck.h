// The card-holder table as another project's dBASE reader sees it: python's
// dbfread lists the 13 texts (AAAA .. MMMM) of every live record, decoded
// strictly as GBK, so a text stored in any other encoding fails the read.
// python3-dbfread comes with scripts/install-deps.sh; without it the check
// fails rather than passing unseen.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace dbfreadcheck {

struct TTexts {
  std::string error;  // empty when the reader listed the table
  std::vector<std::vector<std::string>> records;
};

// Lists `dbfPath`; the script and its output go into `workDir`.
inline TTexts ReadTexts(const std::string& dbfPath, const std::string& workDir) {
  const std::string script = workDir + "/dbfread_gbk.py", out = workDir + "/dbfread_gbk.json";
  std::ofstream(script) << "import sys, json, dbfread\n"
                           "table = dbfread.DBF(sys.argv[1], encoding='gbk', char_decode_errors='strict')\n"
                           "names = [c * 4 for c in 'ABCDEFGHIJKLM']\n"
                           "rows = [[r[n] or '' for n in names] for r in table]\n"
                           "with open(sys.argv[2], 'w', encoding='utf-8') as o: json.dump(rows, o, ensure_ascii=False)\n";
  std::remove(out.c_str());
  TTexts texts;
  const std::string run = "/usr/bin/python3 '" + script + "' '" + dbfPath + "' '" + out + "'";
  if (std::system(run.c_str()) != 0) {
    texts.error = "dbfread could not list " + dbfPath + " (is python3-dbfread installed?)";
    return texts;
  }
  std::stringstream json;
  json << std::ifstream(out, std::ios::binary).rdbuf();
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.str()));
  for (const QJsonValue& row : doc.array()) {
    std::vector<std::string> record;
    for (const QJsonValue& text : row.toArray()) record.push_back(text.toString().toStdString());
    texts.records.push_back(record);
  }
  return texts;
}

}  // namespace dbfreadcheck
