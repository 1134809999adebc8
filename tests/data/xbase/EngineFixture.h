#pragma once
// Shared set-up for the engine tests: a session and a fresh temporary
// directory per test, plus small helpers to look at the files byte by byte.

#include "xbase.h"

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_dir = m_tmp.path().toStdString();
        m_c4 = code4initP();
        code4autoOpen(m_c4, 0); // these tables have no index group
    }

    void TearDown() override
    {
        code4initUndoP(m_c4);
        m_c4 = nullptr;
    }

    std::string path(const std::string &file) const { return m_dir + "/" + file; }

    static std::string readFile(const std::string &p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void writeFile(const std::string &p, const std::string &bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }

    static uint32_t le32(const std::string &b, size_t off)
    {
        auto u = [&](size_t i) { return uint32_t(static_cast<unsigned char>(b[off + i])); };
        return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
    }

    static uint32_t le16(const std::string &b, size_t off)
    {
        return uint32_t(static_cast<unsigned char>(b[off])) | uint32_t(static_cast<unsigned char>(b[off + 1]))
                                                                  << 8;
    }

    int error() { return code4errorCode(m_c4, 0); }

    QTemporaryDir m_tmp;
    std::string m_dir;
    CODE4 *m_c4 = nullptr;
};
