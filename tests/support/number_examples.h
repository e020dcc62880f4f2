#pragma once

#include <QString>
#include <QTest>

// Texts as users type them and the numbers ParseLocaleNumber reads, under French and English
// regional settings: one table for the number tests and for the decimal-comma C locale test.
inline void AddParseLocaleNumberRows()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"23.5", 23.5},   {"23,5", 23.5},   {"45 %", 45.0},  {"-2.5", -2.5},  {"$ 3", 3.0},
        {"1.234,5", 0.0}, {"1.2.3", 0.0},   {"abc", 0.0},    {"", 0.0},       {"2\t", 0.0},
        {"1e3", 1000.0},  {"1,5E-1", 0.15}, {"+7", 7.0},     {"12 %", 12.0},  {"1e", 0.0},
        {"-", 0.0},       {",5", 0.5},      {"0,25", 0.25},  {" 1 0 ", 10.0}, {"1,5", 1.5},
        {"-0,25", -0.25}, {"1e999", 0.0},   {"1e-3", 0.001}, {"5,", 5.0},     {"1E+2", 100.0},
    };
    for (const char* locale : {"fr_FR", "en_US"}) {
        for (const auto& c : cases) {
            QTest::addRow("%s '%s'", locale, c.text)
                << QString::fromLatin1(locale) << QString::fromUtf8(c.text) << c.expected;
        }
    }
}
