#pragma once

// Python's headers come before Qt's, whose "slots" keyword they use as a name.
// clang-format off
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <QString>
#include <QStringList>
// clang-format on

// Python str and QString pass into each other as UTF-8.
namespace pybind11::detail {

template <> struct type_caster<QString> {
    PYBIND11_TYPE_CASTER(QString, const_name("str"));

    bool load(handle source, bool) {
        if (!source || !PyUnicode_Check(source.ptr()))
            return false;
        Py_ssize_t size = 0;
        const char *data = PyUnicode_AsUTF8AndSize(source.ptr(), &size);
        if (!data) {
            PyErr_Clear();
            return false;
        }
        value = QString::fromUtf8(data, size);
        return true;
    }

    static handle cast(const QString &text, return_value_policy, handle) {
        const QByteArray utf8 = text.toUtf8();
        return PyUnicode_DecodeUTF8(utf8.constData(), utf8.size(), "replace");
    }
};

template <> struct type_caster<QStringList> : list_caster<QStringList, QString> {};

} // namespace pybind11::detail
