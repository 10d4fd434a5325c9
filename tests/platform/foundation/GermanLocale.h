#pragma once

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

// Runs a test as a German user would: "," is the decimal separator of the C++ global locale, of QLocale's
// default and, when the machine has such a locale, of the C library. Number text must not change.
class GermanLocaleTest : public ::testing::Test {
protected:
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };

    void SetUp() override {
        m_oldGlobal = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
        m_oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_AT.UTF-8", "fr_FR.UTF-8",
                                 "fr_FR.utf8", "nl_NL.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                m_cLocaleHasComma = true;
                break;
            }
        }
        m_oldQLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void TearDown() override {
        QLocale::setDefault(m_oldQLocale);
        std::setlocale(LC_NUMERIC, m_oldNumeric.c_str());
        std::locale::global(m_oldGlobal);
    }

    bool m_cLocaleHasComma = false;

private:
    std::locale m_oldGlobal;
    std::string m_oldNumeric;
    QLocale m_oldQLocale;
};
