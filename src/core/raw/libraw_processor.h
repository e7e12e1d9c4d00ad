#pragma once
// LibRaw as the engine runs it (private to core/raw).
//
// LibRaw's longest loops, which are virtual for this purpose, run here with
// the same arithmetic on two threads and stop at a cancel request; LibRaw's
// own have no check inside and use one core (or OpenMP's, which waits on a
// busy machine for its slowest thread). And the engine makes the picture
// itself from the working image rather than through dcraw_make_mem_image,
// which builds a second bitmap beside the working image and the raw data
// and cannot be stopped: the processor gives it the output curve and the
// working image's rows through that curve.

#include "raw/cancel_flag.h"

#include <libraw/libraw.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qlx::raw {

class LibRawProcessor final : public LibRaw {
public:
    explicit LibRawProcessor(const CancelFlag* cancel);

    // LibRaw's first complaint about damaged data ("Unexpected end of file",
    // "data corrupted at N"), which its default handler would print on
    // standard error; empty when it had none.
    const std::string& dataError() const { return m_dataError; }

    // Whether the next dcraw_process, in half-size mode, makes a working
    // image of one eighth of each dimension straight from the sensor data
    // instead of the half-size copy: each pixel the means, colour by
    // colour, of the black-subtracted samples of its 8 × 8 block, both
    // greens together. LibRaw's white balance, colour matrix and histogram
    // then run on that small image with their usual factors. Call after
    // unpack(); true for ordinary 2 × 2 colour-filter data, false (and
    // nothing changed) for every other layout.
    bool binEighths();

    // Once processed, the working image holds all the picture needs: the
    // raw data go first, so that they never sit beside the picture. Through
    // LibRaw's own free, so that its memory manager forgets the block.
    void releaseRawData();

    // Sets imgdata.color.curve as LibRaw's bitmap writers do: the gamma
    // curve with its white point where `auto_bright_thr` of the pixels lie
    // above it in the histogram that convert_to_rgb counted.
    void prepareOutputCurve();

    // Row `y` of the working image through the curve, as 8-bit RGB (a
    // monochrome camera's one sample in all three).
    void outputRow(int y, std::uint8_t* out) const;

protected:
    void copy_bayer(unsigned short cblack[4], unsigned short* dmaxp) override;
    void lin_interpolate_loop(int* code, int size) override;
    void scale_colors_loop(float scale_mul[4]) override;
    void convert_to_rgb_loop(float out_cam[3][4]) override;

private:
    // binEighths's copy, in copy_bayer's place.
    void copyInEighths(const unsigned short cblack[4], unsigned short* dmaxp);

    static void noteDataError(void* processor, const char* file, int offset);

    // Rows [first, end) of lin_interpolate_loop, as LibRaw makes them.
    void interpolateRows(const int* code, int size, int first, int end);

    const CancelFlag* m_cancel;
    std::string m_dataError;
    bool m_eighths = false;
    std::vector<std::uint32_t> m_blockSums; // copyInEighths's, made by binEighths
};

} // namespace qlx::raw
