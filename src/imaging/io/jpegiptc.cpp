// Copying a JPEG with a new IPTC segment (APP13) in place of the old ones.
#include <vector>

#include "imaging/core/iemetadata.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/iebyteorder.h"
#include "imaging/io/iecodecutils.h"
#include "imaging/io/jpegfilt.h"

namespace {

constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kApp13 = 0xED;
constexpr uint8_t kEndOfImage = 0xD9;

class TIptcInjector {
 public:
  TIptcInjector(const std::vector<uint8_t>& in, TIEIPTCInfoList* list) : in_(in), list_(list) {}

  // Builds the output; true when the copy ran through and the segment was
  // placed.
  bool Run() {
    size_t i = 0;
    while (i < in_.size()) {
      const uint8_t b = in_[i++];
      if (b != 0xFF) {
        out_.push_back(b);
        continue;
      }
      if (i >= in_.size()) {  // a lone FF at the very end
        out_.push_back(b);
        break;
      }
      const uint8_t code = in_[i++];
      if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD8)) {
        Put({0xFF, code});
      } else if ((code >= 0x02 && code <= 0xBF) || code == 0xFF) {
        return false;
      } else if (code == kEndOfImage) {
        Put({0xFF, code});
        out_.insert(out_.end(), in_.begin() + static_cast<std::ptrdiff_t>(i), in_.end());
        break;
      } else {
        if (i + 2 > in_.size()) return false;
        const size_t length = IEGetBE16(&in_[i]);
        if (length < 2 || i + length > in_.size()) return false;
        if (code == kApp13) {
          i += length;
          if (!PutIptc()) return false;
          continue;
        }
        if (code == kApp1 && !PutIptc()) return false;
        Put({0xFF, code});
        out_.insert(out_.end(), in_.begin() + static_cast<std::ptrdiff_t>(i),
                    in_.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
        if (code == kApp0 && !PutIptc()) return false;
      }
    }
    return written_;
  }

  const std::vector<uint8_t>& Output() const { return out_; }

 private:
  void Put(std::initializer_list<uint8_t> bytes) { out_.insert(out_.end(), bytes); }

  // Writes the IPTC segment once; false when the block cannot fit one.
  bool PutIptc() {
    if (written_) return true;
    written_ = true;
    const std::vector<uint8_t> block = list_ ? list_->SaveToStandardBuffer()
                                             : std::vector<uint8_t>();
    if (block.empty()) return true;
    if (block.size() + 2 > 0xFFFF) return false;
    uint8_t header[4] = {0xFF, kApp13};
    IEPutBE16(header + 2, static_cast<uint16_t>(block.size() + 2));
    out_.insert(out_.end(), header, header + 4);
    out_.insert(out_.end(), block.begin(), block.end());
    return true;
  }

  const std::vector<uint8_t>& in_;
  TIEIPTCInfoList* list_;
  std::vector<uint8_t> out_;
  bool written_ = false;
};

}  // namespace

bool IEJpegInjectIPTC(TStream* InStream, TStream* OutStream, TIEIPTCInfoList* IPTCList) {
  std::vector<uint8_t> in(static_cast<size_t>(IEStreamBytesLeft(InStream)));
  in.resize(static_cast<size_t>(std::max<int64_t>(0, InStream->Read(in.data(), in.size()))));
  TIptcInjector injector(in, IPTCList);
  const bool result = injector.Run();
  bool aborted = false;
  SafeStreamWrite(OutStream, aborted, injector.Output().data(),
                  static_cast<int64_t>(injector.Output().size()));
  return result && !aborted;
}
