// The smallest model the driver base runs: records of 96 bytes and a name table of 288 bytes,
// for the tests of the base itself.
#pragma once

#include "link/kadrel_base.h"

#include <QList>
#include <array>
#include <memory>

#pragma pack(push, 1)
struct TestRecord {
    TArchBase Base;
    uint8_t Payload[87];
};
#pragma pack(pop)
static_assert(sizeof(TestRecord) == 96);

class TTestModel : public TKadrelBase
{
public:
    // The record numbers in list order.
    QList<uint16_t> Nums() const
    {
        QList<uint16_t> nums;
        for (const auto& entry : fArchive)
            nums << entry->Base().Num;
        return nums;
    }

protected:
    int RecordSize() const override { return 96; }
    std::unique_ptr<TArchEntry> NewEntry() const override
    {
        return std::make_unique<TArchEntryOf<TestRecord>>();
    }
    int NameTableSize() const override { return 288; }
    uint8_t* NameTable() override { return table.data(); }

    std::array<uint8_t, 288> table{};
};
