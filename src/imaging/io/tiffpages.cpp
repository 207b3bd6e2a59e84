// TIFF page operations over the page copier: each builds the new file in
// memory and writes it only once it is whole.
#include "imaging/io/tiffpages.h"

#include "imaging/core/iestreams.h"
#include "imaging/io/tiffpagecopy.h"
#include "imaging/io/iefilereplace.h"
#include "platform/classes.h"
#include "platform/sysutils.h"

namespace {

// Room for what copying the inputs can honestly take: every byte once,
// offset arrays widened from SHORT to LONG, alignment bytes.
uint64_t BudgetFor(uint64_t inputBytes) { return 2 * inputBytes + (uint64_t{1} << 20); }

bool LoadFromStart(TStream* stream, TTiffSource& source) {
  stream->SetPosition(0);
  return IELoadTiffSource(stream, source);
}

bool PutBuilt(TStream* stream, const TTiffBuilder& built) {
  bool failed = false;
  SafeStreamWrite(stream, failed, built.Bytes().data(), static_cast<int64_t>(built.Bytes().size()));
  return !failed;
}

// Runs the operation on an in-memory target and, when it succeeds, puts
// what it wrote in place of the file.
template <typename Operation>
int32_t ToFile(const std::string& targetName, Operation operation) {
  TMemoryStream target;
  const int32_t result = operation(&target);
  if (result <= 0) return result;
  if (!IEReplaceFile(targetName, target))
    throw EFCreateError("Cannot create file \"" + targetName + "\"");
  return result;
}

}  // namespace

int32_t ExtractTIFFImStream(TStream* Source, int32_t Index, TStream* Destination) {
  TTiffSource source;
  if (!LoadFromStart(Source, source) || Index < 0 || static_cast<size_t>(Index) >= source.Pages.size())
    return 0;
  TTiffBuilder built(source.Intel, BudgetFor(source.Bytes.size()));
  if (!built.CopyPage(source, source.Pages[static_cast<size_t>(Index)])) return 0;
  return PutBuilt(Destination, built) ? 1 : 0;
}

int32_t DeleteTIFFImStream(TStream* Stream, int32_t Index) {
  const int64_t start = Stream->GetPosition();
  TTiffSource source;
  if (!IELoadTiffSource(Stream, source)) {
    Stream->SetPosition(start);
    return 0;
  }
  TTiffBuilder built(source.Intel, BudgetFor(source.Bytes.size()));
  for (size_t i = 0; i < source.Pages.size(); ++i) {
    if (static_cast<int64_t>(i) == Index) continue;
    if (!built.CopyPage(source, source.Pages[i])) {
      Stream->SetPosition(start);
      return 0;
    }
  }
  Stream->SetPosition(start);
  if (!PutBuilt(Stream, built)) return 0;
  Stream->SetSize(start + static_cast<int64_t>(built.Bytes().size()));
  return static_cast<int32_t>(source.Pages.size());
}

int32_t InsertTIFFImStream(TStream* Source, TStream* Inserted, int32_t Index, TStream* Destination) {
  TTiffSource source, inserted;
  if (!LoadFromStart(Source, source) || !LoadFromStart(Inserted, inserted)) return 0;
  TTiffBuilder built(source.Intel, BudgetFor(source.Bytes.size() + inserted.Bytes.size()));
  auto copyInserted = [&] {
    for (uint32_t ifd : inserted.Pages)
      if (!built.CopyPage(inserted, ifd)) return false;
    return true;
  };
  for (size_t i = 0; i < source.Pages.size(); ++i) {
    if (static_cast<int64_t>(i) == Index && !copyInserted()) return 0;
    if (!built.CopyPage(source, source.Pages[i])) return 0;
  }
  if (static_cast<size_t>(Index) == source.Pages.size() && Index >= 0 && !copyInserted()) return 0;
  return PutBuilt(Destination, built) ? built.PageCount() : 0;
}

int32_t DeleteTIFFImFile(const std::string& FileName, int32_t Index) {
  TMemoryStream old;
  old.LoadFromFile(FileName);
  return ToFile(FileName, [&](TStream* target) {
    const int32_t before = DeleteTIFFImStream(&old, Index);
    if (before > 0) old.SaveToStream(target);
    return before;
  });
}

int32_t ExtractTIFFImFile(const std::string& SourceName, const std::string& TargetName, int32_t Index) {
  TFileStream source(SourceName, fmOpenRead | fmShareDenyWrite);
  return ToFile(TargetName, [&](TStream* target) { return ExtractTIFFImStream(&source, Index, target); });
}

int32_t InsertTIFFImFile(const std::string& SourceName, const std::string& InsertedName,
                         const std::string& TargetName, int32_t Index) {
  TFileStream source(SourceName, fmOpenRead | fmShareDenyWrite);
  TFileStream inserted(InsertedName, fmOpenRead | fmShareDenyWrite);
  return ToFile(TargetName,
                [&](TStream* target) { return InsertTIFFImStream(&source, &inserted, Index, target); });
}
