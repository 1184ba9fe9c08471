// Fakes of what the store asks of its host: a tree control that keeps its
// nodes, a progress display that logs its calls, a message sink that keeps
// its messages.
#pragma once

#include "store/store_host.h"

#include <functional>
#include <string>
#include <vector>

namespace quarry {

class cFakeTree : public cTreeControl {
public:
    struct Node {
        std::string label;
        ZRID data = 0;
        TreeItemHandle parent = 0;
        std::vector<TreeItemHandle> children;
        bool expanded = false;
    };

    void deleteAllItems() override {
        nodes_.clear();
        top_.clear();
        ++deleteCalls;
    }
    TreeItemHandle insertItem(const std::string& label, ZRID data, TreeItemHandle parent) override {
        nodes_.push_back(Node{label, data, parent, {}, false});
        const TreeItemHandle handle = nodes_.size();
        (parent == 0 ? top_ : nodes_[parent - 1].children).push_back(handle);
        return handle;
    }
    void expand(TreeItemHandle item) override { nodes_.at(item - 1).expanded = true; }

    const Node& node(TreeItemHandle handle) const { return nodes_.at(handle - 1); }
    const std::vector<TreeItemHandle>& topLevel() const { return top_; }
    std::size_t size() const { return nodes_.size(); }

    // The child of `parent` (0: the top level) with this label, or 0.
    TreeItemHandle child(TreeItemHandle parent, const std::string& label) const {
        for (TreeItemHandle handle : parent == 0 ? top_ : node(parent).children)
            if (node(handle).label == label) return handle;
        return 0;
    }
    // Follows a path of labels from the top level; 0 when a step is missing.
    TreeItemHandle find(const std::vector<std::string>& path) const {
        TreeItemHandle at = 0;
        for (const std::string& label : path)
            if ((at = child(at, label)) == 0) return 0;
        return at;
    }
    std::vector<std::string> childLabels(TreeItemHandle parent) const {
        std::vector<std::string> labels;
        for (TreeItemHandle handle : parent == 0 ? top_ : node(parent).children)
            labels.push_back(node(handle).label);
        return labels;
    }

    int deleteCalls = 0;

private:
    std::vector<Node> nodes_;
    std::vector<TreeItemHandle> top_;
};

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
        if (onMessage) onMessage();
    }
    std::vector<std::string> messages;
    std::function<void()> onMessage;
};

} // namespace quarry
