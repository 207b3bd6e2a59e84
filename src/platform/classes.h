// Streams, lists and string lists of the component framework.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sysutils.h"

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  // Copies the source's contents; the default asks the source to copy
  // itself into this (AssignTo).
  virtual void Assign(TPersistent* source);

 protected:
  // Copies this into `dest`; the default raises EConvertError ("Cannot
  // assign a X to a Y" in spirit).
  virtual void AssignTo(TPersistent* dest);
};

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// Abstract stream. Read and Write may move fewer bytes than asked and
// return how many they moved; ReadBuffer and WriteBuffer raise EReadError
// and EWriteError instead.
class TStream : public TObject {
 public:
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source (0: the whole source from its start).
  int64_t CopyFrom(TStream* source, int64_t count);

  int64_t GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
  virtual int64_t GetSize();
  virtual void SetSize(int64_t size);
};

// A stream over a block in memory; Memory stays valid until the next resize.
class TCustomMemoryStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void* Memory() { return memory_; }
  void SaveToStream(TStream* stream);
  void SaveToFile(const std::string& name);

 protected:
  void SetPointer(void* ptr, int64_t size);
  uint8_t* memory_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
 public:
  ~TMemoryStream() override;
  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;
  void Clear();
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const std::string& name);

 private:
  void SetCapacity(int64_t capacity);
  int64_t capacity_ = 0;
};

// File modes of TFileStream.
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFFFF;

// A stream over a file; the name goes through NativePath. Opening failures
// raise EFOpenError (EFCreateError for fmCreate) naming the file.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return fileName_; }
  int Handle() const { return fd_; }

 private:
  std::string fileName_;
  int fd_ = -1;
};

// List of untyped pointers (indices checked: EListError).
class TList : public TObject {
 public:
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  int Remove(void* item);  // index it had, -1 when absent
  int IndexOf(void* item) const;
  void Clear();
  void Exchange(int a, int b);
  void Move(int from, int to);
  void* Get(int index) const;
  void Put(int index, void* item);
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }
  int Count() const { return static_cast<int>(items_.size()); }
  void SetCount(int count);
  void* operator[](int index) const { return Get(index); }
  void Sort(const std::function<int(void*, void*)>& compare);

 private:
  std::vector<void*> items_;
};

// Ordered list of strings with optional objects; Text joins with line breaks.
class TStrings : public TPersistent {
 public:
  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s) = 0;
  virtual TObject* GetObject(int index) const = 0;
  virtual void PutObject(int index, TObject* object) = 0;
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  void InsertObject(int index, const std::string& s, TObject* object);
  void AddStrings(const TStrings& other);
  virtual int IndexOf(const std::string& s) const;  // case-insensitive
  int IndexOfObject(TObject* object) const;
  int IndexOfName(const std::string& name) const;
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);
  std::string Text() const;  // each string followed by "\r\n"
  void SetText(const std::string& text);
  std::string CommaText() const;
  void SetCommaText(const std::string& text);
  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* source) override;
  // Text files: UTF-8 in memory; the file holds the bytes as given.
  void LoadFromFile(const std::string& name);
  void SaveToFile(const std::string& name) const;
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;
  std::string operator[](int index) const { return Get(index); }

 protected:
  virtual void SetUpdateState(bool updating) {}
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override;
  int IndexOf(const std::string& s) const override;
  // Binary search on a sorted list; true when found, index of the match or
  // of the insertion point.
  bool Find(const std::string& s, int& index) const;
  void Sort();
  void Exchange(int a, int b);

  // Setting Sorted sorts the list; Add then inserts in order.
  void SetSorted(bool sorted);
  bool GetSorted() const { return sorted_; }
  bool CaseSensitive = false;
  TDuplicates Duplicates = dupIgnore;
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  void Changed();
  void Changing();

 private:
  int Compare(const std::string& a, const std::string& b) const;
  void InsertItem(int index, const std::string& s);
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  std::vector<Item> items_;
  bool sorted_ = false;
};
