// Stand-ins for the file list and the dialog that the run talks to.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stamp/ApplyRun.h"

struct Row {
    WideString path;
    std::string creation, write;
};

class FakeRows : public RunRows {
  public:
    std::vector<Row> rows;
    int RowCount() override { return static_cast<int>(rows.size()); }
    WideString RowPath(int row) override { return rows.at(row).path; }
    void SetRowText(int row, int column, const std::string& text) override {
        ASSERT_TRUE(column == 1 || column == 2);
        (column == 1 ? rows.at(row).creation : rows.at(row).write) = text;
    }
};

struct Message {
    WideString text, caption;
    unsigned icon;
};

class FakeHost : public RunHost {
  public:
    StampChoice choice;
    std::vector<Message> messages;
    std::string events;
    void FocusAddButton() override { events += "focus "; }
    StampChoice PullChoice() override {
        events += "pull ";
        return choice;
    }
    void ShowMessage(const WideString& text, const WideString& caption, unsigned icon) override {
        messages.push_back({text, caption, icon});
    }
};
