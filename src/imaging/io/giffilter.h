// GIF pictures: reading one frame (with its transparency as a mask),
// writing a one-frame GIF, inserting and deleting frames, counting them,
// and making a GIF a looping animation.
//
// The LZW coding goes through the hooks: the parameters' GIF_LZWDecompress
// and GIF_LZWCompress, else DefGIF_LZWDECOMPFUNC and DefGIF_LZWCOMPFUNC.
// With no decoder GIF pictures cannot be read; with no encoder writing
// stops after the frame's descriptor. Bad data and failed writes set the
// progress record's abort flag; the routines that take a file name let
// file-open errors raise.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/core/iedefs.h"

class TStream;
class TIEBitmap;
class TIEMask;
class TIOParamsVals;

// Reads frame GIF_ImageIndex of the GIF at the stream's position; ImageCount
// and GIF_ImageCount receive the number of frames. Two-colour black and
// white frames give ie1g, others ie24RGB. Unless IgnoreAlpha the mask
// (created when nil) gets 255, and 0 on transparent pixels. With Preview
// only the parameters are read. A frame past the last one leaves the
// bitmap untouched without aborting.
void ReadGifStream(TStream* Stream, TIEBitmap* Bitmap, int32_t& ImageCount, TIOParamsVals& IOParams,
                   TProgressRec& Progress, bool Preview, TIEMask*& AlphaMask, bool IgnoreAlpha);
void ReadGif(const std::string& FileName, TIEBitmap* Bitmap, int32_t& ImageCount,
             TIOParamsVals& IOParams, TProgressRec& Progress, TIEMask*& AlphaMask, bool IgnoreAlpha);

// Writes the bitmap as a one-frame GIF (header, global palette of
// 2^BitsPerSample colours, graphic control block, frame, comments,
// trailer). Pictures wider or higher than 65535 pixels abort.
void WriteGifStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                    TProgressRec& Progress);
void WriteGif(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
              TProgressRec& Progress);

// Inserts the bitmap, with a local palette, as a new frame before frame
// GIF_ImageIndex (at the end when there are fewer frames) of the GIF at the
// stream's position, and rewrites the stream from there. Returns the frame
// count afterwards; 0 for a stream that is not a GIF. A stream that is not
// a GIF, damaged frame data or a missing encoder abort and leave the stream
// as it was.
int32_t _InsertGifImStream(TStream* Stream, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                           TProgressRec& Progress);
int32_t _InsertGifIm(const std::string& FileName, TIEBitmap* Bitmap, TIOParamsVals& IOParams,
                     TProgressRec& Progress);

// The number of frames other than Index (-1 counts them all). With Save the
// file is rewritten without frame Index and its graphic control block. 0
// for a file that is not a GIF, and for a damaged one asked to be
// rewritten (left as it was).
int32_t _DeleteGifIm(const std::string& FileName, int32_t Index, bool Save);

// True when a "NETSCAPE2.0" animation block stands among the extensions
// before the first frame.
bool _CheckGifAnimate(const std::string& FileName);

// Rewrites the file as a GIF89a with a Width x Height logical screen and a
// "NETSCAPE2.0" block of Loops repetitions (0: for ever) right after the
// global palette, replacing one that stands before the first frame. A file
// that is not a GIF is left alone.
void _GifMakeAnimate(const std::string& FileName, int32_t Loops, int32_t Width, int32_t Height);
