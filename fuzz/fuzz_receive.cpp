// The receive path of every driver: arbitrary bytes in arbitrary chunks, cut into frames as
// the serial port layer does (or handed over raw, as a line without reassembly would),
// through the acceptance rule, identification, archive paging and the name tables, with the
// window's answers to every event and its tables built at the end.
//
// Input: byte 0 picks the driver, byte 1 the delivery (bit 7 raw chunks, bit 6 a read
// started first, bits 0-5 the chunk sizes), the rest is the line.
#include "fuzz_support.h"

#include "link/frame.h"

namespace
{

// Chunk sizes from 1 to 64 bytes, now and then a large one, from a small generator.
class TChunker
{
public:
    explicit TChunker(uint8_t seed) : m_state(0x9E3779B9u ^ seed) {}

    int Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state % 8 == 0 ? int(m_state % 4096) + 1 : int(m_state % 64) + 1;
    }

private:
    uint32_t m_state;
};

void CheckOrder(TKadrelBase& driver)
{
    const TArchiveList& records = driver.Archive();
    for (size_t i = 1; i < records.size(); ++i)
        fuzz::Require(CompareArchRecords(records[i - 1]->Base(), records[i]->Base()) < 0,
                      "records after RemoveDuplicates are in order and unique");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnsureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t shape = data[1];
    const QByteArray line(reinterpret_cast<const char*>(data + 2), int(size - 2));
    {
        fuzz::TFuzzDriver made = fuzz::MakeDriver(data[0]);
        TKadrelBase& driver = *made.Driver;
        driver.SetCallback([&driver](TOperationType op) {
            switch (op) {
            case otDevConnect:
                driver.GetDevName();
                break;
            case otArchReadContinue:
                driver.GetArchExpected();
                driver.GetArchReceived();
                break;
            case otArchReadComplete:
                driver.RemoveDuplicates();
                CheckOrder(driver);
                break;
            case otMatRead: {
                TStringGrid names;
                driver.UpdateMaterialsGrid(names);
                break;
            }
            default:
                break;
            }
        });
        if (shape & 0x40)
            driver.ReadArchive();

        const bool raw = shape & 0x80;
        kadrel::FrameAssembler assembler;
        TChunker chunker(shape & 0x3F);
        for (int at = 0; at < line.size();) {
            const QByteArray chunk = line.mid(at, chunker.Next());
            at += int(chunk.size());
            if (raw) {
                made.Receive(chunk);
                continue;
            }
            for (const QByteArray& frame : assembler.feed(chunk))
                made.Receive(frame);
        }
        fuzz::ShowTables(driver);
        driver.RemoveDuplicates();
        CheckOrder(driver);
        // The port errors of requests sent on a closed port reach the driver while it lives.
        fuzz::DrainEvents();
    }
    fuzz::DrainEvents();
    return 0;
}
