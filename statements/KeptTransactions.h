/*
 * CKeptTransactions: what the import's one reading of a statement keeps of
 * the lines it reads, so that the account's transactions can be added to
 * the host's statement afterwards without reading the file again.
 *
 * Each line is kept compactly: the line number and the record's values that
 * its transaction is made of (TransactionFromRecord), a few dozen bytes. A
 * keeper either keeps the lines of one account (the tool, which knows the
 * account before it reads) or of every account, one group each (the import,
 * which asks the host for its account only once the file is known to be
 * good). Everything kept counts against a cap of bytes: when a line would
 * cross it, the largest group is dropped and keeps nothing more, so memory
 * stays bounded however long the file is; an account whose group was
 * dropped is read from the file again, as before.
 */
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "statements/StatementTransaction.h"
#include "statements/TransactionRecord.h"

namespace paylode {

class CKeptTransactions {
public:
    // 8 MiB: some 150,000 transactions of a statement's usual narratives,
    // far more than an account's statement holds in a year, yet little
    // beside the host in a 32-bit process.
    static constexpr std::size_t kDefaultCap = std::size_t{8} * 1024 * 1024;
    // Accounts told apart when keeping every account's lines; the lines of
    // any further account are not kept.
    static constexpr std::size_t kMaxAccounts = 1024;
    // Up to this many accounts, a line's account is found by comparing it
    // with each: quicker than a look-up for the few a statement usually holds.
    static constexpr std::size_t kComparedAccounts = 8;

    // A keeper that keeps nothing: every account is read again.
    CKeptTransactions() = default;
    static CKeptTransactions ForAccount(const StatementAccount& account, std::size_t cap = kDefaultCap);
    static CKeptTransactions ForEveryAccount(std::size_t cap = kDefaultCap);

    // Keeps `record`, read from line `line` of the file, if it is asked for
    // and there is room.
    void Keep(const CTransactionRecord& record, int line);

    // Whether every line of `account` that was handed to Keep is kept: its
    // transactions can be delivered from here.
    bool HoldsAll(const StatementAccount& account) const;
    // Hands the kept transactions of `account` to `add` in file order,
    // numbered from 1 without gaps, each with its line number; what `add`
    // throws passes on. Returns how many were handed. Only for an account
    // the keeper HoldsAll of.
    int Deliver(const StatementAccount& account,
                const std::function<void(const StatementTransaction&, int line)>& add) const;

    // Bytes held for the kept lines, never more than the cap.
    std::size_t BytesHeld() const { return held_; }

private:
    // The encoded lines go into blocks that are never moved: a group grows
    // by a new block, as large as what it holds up to kLargestBlock, so no
    // line is copied twice however many are kept.
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t capacity = 0;
    };
    // A line's account as two machine words: the sort code's and the account
    // number's characters, up to 8 each (the reader keeps at most 6 and 8),
    // each in its own zero-padded half. Longer texts have none and are
    // compared as text.
    struct CompactAccount {
        char bytes[16] = {};
        bool Equals(const CompactAccount& other) const;
    };
    static bool MakeCompact(const char* sortCode, const char* accountNumber, CompactAccount& compact);

    struct Group {
        std::string sortCode;
        std::string accountNumber;
        CompactAccount compact;
        bool hasCompact = false;
        std::vector<Block> kept;  // the encoded lines, in file order
        std::size_t held = 0;     // capacity of the group's blocks
        bool dropped = false;     // lines were not kept: the account is read again
    };
    enum class Mode { Nothing, OneAccount, EveryAccount };

    // The index's key of an account, made in `key`.
    static const std::string& KeyOf(const char* sortCode, const char* accountNumber, std::string& key);
    Group* GroupOf(const CTransactionRecord& record);
    const Group* FindGroup(const StatementAccount& account) const;
    // A block of `group` with room for `more` bytes, dropping the largest
    // groups while the cap would be crossed; null when `group` itself was
    // dropped.
    Block* MakeRoom(Group& group, std::size_t more);
    // Frees what `group` holds; it keeps nothing more.
    void Drop(Group& group);

    Mode mode_ = Mode::Nothing;
    std::size_t cap_ = 0;
    std::size_t held_ = 0;  // capacity of every group's buffer
    StatementAccount account_;                 // OneAccount: the account kept
    std::vector<Group> groups_;                // OneAccount: exactly one
    std::unordered_map<std::string, std::size_t> index_;  // EveryAccount: KeyOf to group
    bool everyAccountSeen_ = true;    // no account was left out for kMaxAccounts
    std::string keyBuffer_;           // reused for the key of each line
};

}  // namespace paylode
