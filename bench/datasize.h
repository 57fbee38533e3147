#pragma once

#include <QString>
#include <optional>

// One of the benchmark's data sizes, as a factor of ten years of a busy dealer.
struct DataSize
{
    QString label; // "0.1", "1" or "5"
    double factor;

    int catalogueRows() const { return scaled(20000); }
    int stockRows() const { return scaled(50000); }
    int purchaseLines() const { return scaled(200000); }
    int salesLines() const { return scaled(200000); }
    bool isReference() const { return label == QLatin1String("1"); }

private:
    int scaled(int count) const { return int(count * factor + 0.5); }
};

// The three sizes by label; no value for an unknown label.
std::optional<DataSize> dataSizeNamed(const QString &label);
