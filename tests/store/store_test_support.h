// Test helpers of the store: item files in a temporary folder, fakes of what
// the store asks of its host, and a file imported into a store.
#pragma once

#include "store/item_store.h"
#include "store/store_host.h"

#include <unistd.h>

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
        folder_ = std::filesystem::temp_directory_path() /
                  ("quarry-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "items.xml").string();
        write(content);
    }
    ~cTempItemFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    cTempItemFile(const cTempItemFile&) = delete;
    cTempItemFile& operator=(const cTempItemFile&) = delete;

    void write(const std::string& content) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
    }
    const std::string& path() const { return path_; }
    std::string sibling(const std::string& name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
    std::string path_;
};

// A tree control that keeps its nodes; handles count from 1.
class cFakeTree : public cTreeControl {
public:
    struct Node {
        std::string label;
        ZRID data = 0;
        std::vector<TreeItemHandle> children;
        bool expanded = false;
    };

    void deleteAllItems() override {
        nodes_.clear();
        top_.clear();
        ++deleteCalls;
    }
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override {
        nodes_.push_back(Node{label, data, {}, false});
        (parent == 0 ? top_ : nodes_.at(parent - 1).children).push_back(nodes_.size());
        return nodes_.size();
    }
    void setItemData(TreeItemHandle item, ZRID data) override { nodes_.at(item - 1).data = data; }
    void expand(TreeItemHandle item) override { nodes_.at(item - 1).expanded = true; }

    const Node& node(TreeItemHandle handle) const { return nodes_.at(handle - 1); }
    std::size_t size() const { return nodes_.size(); }
    // Follows a path of labels from the top level; 0 when a step is missing.
    TreeItemHandle find(const std::vector<std::string>& path) const {
        TreeItemHandle at = 0;
        for (const std::string& label : path) {
            TreeItemHandle next = 0;
            for (TreeItemHandle child : at == 0 ? top_ : node(at).children)
                if (next == 0 && node(child).label == label) next = child;
            if ((at = next) == 0) return 0;
        }
        return at;
    }
    // The labels of the children of the node at `path` ({} for the top level).
    std::vector<std::string> childLabels(const std::vector<std::string>& path) const {
        std::vector<std::string> labels;
        const TreeItemHandle at = find(path);
        if (at != 0 || path.empty())
            for (TreeItemHandle child : at == 0 ? top_ : node(at).children)
                labels.push_back(node(child).label);
        return labels;
    }
    // Nodes that carry an item (folders carry 0).
    std::size_t itemNodes() const {
        std::size_t count = 0;
        for (const Node& n : nodes_)
            count += n.data != 0;
        return count;
    }

    int deleteCalls = 0;

private:
    std::vector<Node> nodes_;
    std::vector<TreeItemHandle> top_;
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

class cFakeMessages : public cMessageSink {
public:
    void showMessage(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    std::vector<std::string> messages;
};

// An item file on disk, imported into a store.
class cImportedFile {
public:
    explicit cImportedFile(const std::string& content) : file(content) {
        cFakeProgress progress;
        store.scanItemFile(file.path(), progress);
    }
    bool load(ZRID zrid, cItemRecord& record) { return store.loadItem(zrid, record, messages); }
    // Builds the category tree into `tree`.
    void build(cFakeTree& tree) { store.buildCategoryTree(tree, progress, messages); }

    cTempItemFile file;
    cItemStore store;
    cFakeProgress progress;
    cFakeMessages messages;
};

} // namespace quarry
