// Test helpers of the store: item files in a temporary folder, fakes of what
// the store asks of its host, and a file imported into a store.
#pragma once

#include "store/item_record.h"
#include "store/item_store.h"
#include "store/store_host.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quarry {

// A fresh temporary folder holding "items.xml"; removed when done.
class cTempItemFile {
public:
    explicit cTempItemFile(const std::string& content) {
        static std::atomic<int> counter{0};
        std::filesystem::create_directories(folder_ /= "quarry-test-" + std::to_string(::getpid()) +
                                                       "-" + std::to_string(counter++));
        write(content);
    }
    ~cTempItemFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    void write(const std::string& content) const {
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << content;
    }
    std::string path() const { return sibling("items.xml"); }
    std::string missingPath() const { return sibling("missing.xml"); }
    std::string sibling(const std::string& name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_ = std::filesystem::temp_directory_path();
};

// A tree control that keeps its nodes; handles count from 1.
class cFakeTree : public cTreeControl {
public:
    struct Node {
        std::string label;
        ZRID data;
        TreeItemHandle parent;
        bool expanded;
    };
    void deleteAllItems() override {
        nodes.clear();
        ++deleteCalls;
    }
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override {
        nodes.push_back(Node{label, data, parent, false});
        return nodes.size();
    }
    void expand(TreeItemHandle item) override { nodes.at(item - 1).expanded = true; }

    // The labels of the children of every node labelled `parent` ("" for the top level).
    std::vector<std::string> childLabels(const std::string& parent) const {
        std::vector<std::string> labels;
        for (const Node& n : nodes)
            if ((n.parent ? nodes.at(n.parent - 1).label : "") == parent) labels.push_back(n.label);
        return labels;
    }
    // Nodes that carry an item (folders carry 0).
    std::size_t itemNodes() const {
        return std::count_if(nodes.begin(), nodes.end(), [](const Node& n) { return n.data != 0; });
    }

    std::vector<Node> nodes;
    int deleteCalls = 0;
};

// Logs its calls as "begin LABEL START", "set N", "end"; counts pumps.
class cFakeProgress : public cProgressHost {
public:
    void beginProgress(const std::string& label, std::int32_t start) override {
        calls.push_back("begin " + label + " " + std::to_string(start));
    }
    void setProgress(std::int32_t position) override {
        calls.push_back("set " + std::to_string(position));
    }
    void endProgress() override { calls.push_back("end"); }
    void pumpMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    std::vector<std::string> calls;
    int pumps = 0;
    std::function<void()> onPump;
};

// Keeps every message as "caption: text".
class cFakeMessages : public cMessageSink {
public:
    void showMessage(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    std::vector<std::string> messages;
};

// An item file on disk, imported into a store.
struct cImportedFile {
    explicit cImportedFile(const std::string& content) : file(content) {
        cFakeProgress scanning;
        store.scanItemFile(file.path(), scanning);
    }
    bool load(ZRID zrid, cItemRecord& record) { return store.loadItem(zrid, record, messages); }
    void build(cFakeTree& tree) { store.buildCategoryTree(tree, progress, messages); }

    cTempItemFile file;
    cItemStore store;
    cFakeProgress progress; // of the tree build
    cFakeMessages messages;
};

} // namespace quarry
