// An item file imported into a store and gathered into a query index, with
// the folders the tree build filed each item under.
#pragma once

#include "../store/store_test_support.h"
#include "search/query_evaluator.h"
#include "store/discarding_tree.h"

#include <string>
#include <vector>

namespace quarry {

struct cIndexedFile {
    // How the names are committed: filed into name order, or left as loaded.
    enum class eCommit { nameOrder, indexOrder };
    // Every field gathered, as the window does, or only `fields`, as find does.
    explicit cIndexedFile(const std::string& content, cQueryFieldSet fields = cQueryFieldSet::all(),
                          eCommit commit = eCommit::nameOrder)
        : imported(content) {
        index.setFields(fields);
        cDiscardingTree tree;
        imported.store.buildCategoryTree(tree, imported.progress, imported.messages, &index);
        if (commit == eCommit::indexOrder)
            index.commitInIndexOrder();
        else
            index.commitPending();
    }
    // The identifiers a query finds, in order; "error: " and the message
    // when it does not parse.
    std::vector<std::string> find(const std::string& text, bool near = false) const {
        const cParsedQuery parsed = parseQuery(text);
        if (!parsed.ok()) return {"error: " + parsed.error->message()};
        std::vector<std::string> found;
        for (const std::uint32_t item : runQuery(index, parsed.query, near).items)
            found.push_back(std::to_string(index.zrid(item)));
        return found;
    }

    cImportedFile imported;
    cQueryIndex index;
};

} // namespace quarry
