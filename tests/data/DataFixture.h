#pragma once
// A fresh data directory, made current, with the empty tables of a new
// installation; the session, buffers and in-memory invoice start clean.
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/InvoiceMemory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tlv::test {

class DataDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db().reset();
        invoiceMemory().reset();
        ASSERT_EQ(createDataFiles(m_dir.path()).toStdString(), "");
    }
    void TearDown() override
    {
        db().reset();
        invoiceMemory().reset();
    }

    TempDataDir m_dir;
};

} // namespace tlv::test
