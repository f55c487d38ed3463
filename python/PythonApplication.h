#pragma once

class QApplication;

namespace ixo::python {

// The process's QApplication, made on first use by the parts that show widgets rather than at
// import, so a script that only reads documents never starts Qt's GUI, and one that makes its
// own QApplication first keeps it.
class PythonApplication {
public:
    static QApplication &instance();
};

} // namespace ixo::python
