#pragma once

// Real function of two real variables, z = f(x, y). Never destroyed through
// a Func2 pointer, hence the protected non-virtual destructor.
class Func2 {
public:
    enum Type {
        FUNC2_LINEAR = 1
    };

    enum FuncErr {
        FUNC2_ERR_OK = 0
    };

    Func2() = default;

    virtual double valueFxy(double x, double y, int* errn) const = 0;
    virtual int func2Type() const = 0;

protected:
    Func2(const Func2&) = default;
    Func2& operator=(const Func2&) = default;
    ~Func2() = default;
};
