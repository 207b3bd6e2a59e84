#include "records/memolines.h"

std::vector<std::string> MemoLines(TMemo* memo) { return SplitMemoLines(memo->GetText()); }

void SetMemoLines(TMemo* memo, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  memo->SetText(text);
}

void AppendMemoLines(TMemo* memo, const std::vector<std::string>& lines) {
  std::vector<std::string> all = MemoLines(memo);
  all.insert(all.end(), lines.begin(), lines.end());
  SetMemoLines(memo, all);
}
