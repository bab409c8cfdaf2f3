#pragma once

// Conversions between millimetres, centimetres and metres.
class XUnits {
public:
    // Fixed underlying type: any int is a valid value, and values outside
    // the three units are answered rather than undefined.
    enum lenghts : int {
        MM = 1,
        CM = 2,
        M = 3
    };

    XUnits();

    // v converted from `from` to `to`; 1.0 for a unit outside the enumeration.
    static double lenghtsConv(lenghts from, lenghts to, double v);
    static double toMM(lenghts from, double v);
    static double cmToMM(double v);
};
