// The consumption file of a log of daily readings, written as the program
// writes it under German settings, for the benchmarks to load. Plain C++, so
// that the start-up benchmark needs no part of the program.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace voltaris::bench {

// Hundredths as the program shows them: "12,34".
inline std::string hundredths(long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld,%02lld", value / 100, value % 100);
    return text;
}

inline void appendField(std::string &line, const std::string &text, std::size_t width)
{
    if (text.size() < width)
        line.append(width - text.size(), ' ');
    line += text;
}

// `rows` readings, one a day from 1 January 1800, between 5 and 14 kWh a
// day; no rows gives the file of an empty log. False when it cannot be
// written.
inline bool writeLogFile(const std::string &path, int rows)
{
    using namespace std::chrono;
    std::string out = "           Mein Verbrauch\r\n"
                      "________________________________________\r\n"
                      "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                      "===========|=============|======|=======\r\n";
    out.reserve(out.size() + std::size_t(rows) * 42 + 42);
    const sys_days first = year(1800) / January / 1;
    long long reading = 1000000; // 10000,00 kWh
    for (int i = 0; i < rows; ++i) {
        const year_month_day d(first + days(i));
        char date[16];
        std::snprintf(date, sizeof date, "%02u.%02u.%04d", unsigned(d.day()), unsigned(d.month()),
            int(d.year()));
        const long long perDay = 500 + (i * 37LL) % 900;
        if (i > 0)
            reading += perDay;
        appendField(out, date, 10);
        out += " |";
        appendField(out, hundredths(reading), 12);
        out += " |";
        appendField(out, i > 0 ? "1" : "0", 5);
        out += " |";
        appendField(out, i > 0 ? hundredths(perDay) : "0", 7);
        out += "\r\n";
    }
    if (rows == 0)
        out += "           |             |      |       \r\n";
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && written;
}

} // namespace voltaris::bench
