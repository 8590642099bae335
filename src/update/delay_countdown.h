// The record that ties a waiter to its delay window, and how the window keeps its address.
#pragma once

#include "platform/win32.h"

struct DelayCountdown {
    DWORD minutesLeft;  // counted down by the window, one per timer message
    LONG* doneFlag;     // the waiter's flag: the window sets it to 1 when the count reaches 0
};

// The window keeps its record's address in two properties, a low and a high half. On 32-bit
// builds the halves are 16 bits each; on wider builds 32 bits each, so the full address of a
// 64-bit heap record survives the round trip.
struct AddressHalves {
    UINT_PTR low;
    UINT_PTR high;
};

constexpr unsigned kAddressHalfBits = sizeof(UINT_PTR) > 4 ? 32 : 16;
constexpr UINT_PTR kAddressHalfMask = (UINT_PTR{1} << kAddressHalfBits) - 1;

inline AddressHalves SplitRecordAddress(const DelayCountdown* record)
{
    auto address = reinterpret_cast<UINT_PTR>(record);
    return AddressHalves{address & kAddressHalfMask,
                         (address >> kAddressHalfBits) & kAddressHalfMask};
}

inline DelayCountdown* JoinRecordAddress(UINT_PTR low, UINT_PTR high)
{
    UINT_PTR address = (low & kAddressHalfMask) | ((high & kAddressHalfMask) << kAddressHalfBits);
    return reinterpret_cast<DelayCountdown*>(address);
}
