// The plain scan over the list's 7000 slots: the reference the index is tested and measured
// against.
#pragma once

#include "prices/price_table.h"

#include <QString>

#include <memory>

class PriceScan
{
public:
    static constexpr int Slots = 7000;

    explicit PriceScan(const PriceTable &table)
        : keys(new QString[Slots])
        , prices(new float[Slots]())
    {
        int slot = 0;
        for (const PriceEntry &entry : table.entries()) {
            keys[slot] = entry.key;
            prices[slot] = float(entry.price);
            ++slot;
        }
    }

    double price(const QString &key) const
    {
        for (int slot = 0; slot < Slots; ++slot) {
            // An unfilled slot holds the null string, which Qt counts equal to the empty key.
            if (!keys[slot].isNull() && keys[slot] == key)
                return double(prices[slot]);
        }
        return 0.0;
    }

private:
    std::unique_ptr<QString[]> keys;
    std::unique_ptr<float[]> prices;
};
