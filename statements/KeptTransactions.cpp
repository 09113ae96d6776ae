/*
 * The lines kept by the import's one reading (see KeptTransactions.h).
 *
 * A kept line is, byte after byte: its line number (4 bytes), the date and
 * the amount (8 bytes each, as the record holds them), 1 for a debit or 0,
 * then the type and the five narratives, each as its length (1 byte) and its
 * characters. Delivery puts these back into a record and makes the
 * transaction with TransactionFromRecord, as a reading of the file does.
 */
#include "statements/KeptTransactions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

namespace paylode {

namespace {

// The record's texts a transaction is made of, in the order they are kept.
CString CTransactionRecord::* const kKeptTexts[] = {
    &CTransactionRecord::Type,       &CTransactionRecord::Narrative1, &CTransactionRecord::Narrative2,
    &CTransactionRecord::Narrative3, &CTransactionRecord::Narrative4, &CTransactionRecord::Narrative5,
};

constexpr std::size_t kFixedBytes = sizeof(std::int32_t) + 2 * sizeof(double) + 1;
// The longest text a kept line can hold; the reader keeps at most 50
// characters of each.
constexpr std::size_t kMaxKeptText = 255;
constexpr std::size_t kMaxLineBytes = kFixedBytes + std::size(kKeptTexts) * (1 + kMaxKeptText);
// The first block of a group; each later one is as large as the group's
// blocks together, up to the largest.
constexpr std::size_t kFirstBuffer = 512;
constexpr std::size_t kLargestBlock = std::size_t{64} * 1024;

// Encodes `record` read from `line` into `out`; the bytes written, or 0 when
// a text is too long to be kept.
std::size_t Encode(const CTransactionRecord& record, int line, char* out) {
    char* at = out;
    const auto put = [&at](const void* value, std::size_t size) {
        std::memcpy(at, value, size);
        at += size;
    };
    const std::int32_t number = line;
    const double amount = record.IsDebit() ? record.GetDebit() : record.GetCredit();
    const unsigned char debit = record.IsDebit() ? 1 : 0;
    put(&number, sizeof number);
    put(&record.Date, sizeof record.Date);
    put(&amount, sizeof amount);
    put(&debit, 1);
    for (CString CTransactionRecord::*text : kKeptTexts) {
        const char* characters = (record.*text).GetString();
        const std::size_t length = std::strlen(characters);
        if (length > kMaxKeptText) return 0;
        const auto size = static_cast<unsigned char>(length);
        put(&size, 1);
        put(characters, length);
    }
    return static_cast<std::size_t>(at - out);
}

// Decodes the line at `at` into `record` and its line number; returns where
// the next line starts.
const char* Decode(const char* at, CTransactionRecord& record, int& line) {
    const auto take = [&at](void* value, std::size_t size) {
        std::memcpy(value, at, size);
        at += size;
    };
    record.Clear();
    std::int32_t number = 0;
    double amount = 0.0;
    unsigned char debit = 0;
    take(&number, sizeof number);
    take(&record.Date, sizeof record.Date);
    take(&amount, sizeof amount);
    take(&debit, 1);
    line = number;
    record.DebitFlag = debit;
    (debit != 0 ? record.Debit : record.Credit) = amount;
    for (CString CTransactionRecord::*text : kKeptTexts) {
        const auto length = static_cast<unsigned char>(*at++);
        (record.*text).SetString(at, length);
        at += length;
    }
    return at;
}

}  // namespace

CKeptTransactions CKeptTransactions::ForAccount(const StatementAccount& account, std::size_t cap) {
    CKeptTransactions keeper;
    keeper.mode_ = Mode::OneAccount;
    keeper.cap_ = cap;
    keeper.account_ = account;
    keeper.groups_.emplace_back();
    return keeper;
}

CKeptTransactions CKeptTransactions::ForEveryAccount(std::size_t cap) {
    CKeptTransactions keeper;
    keeper.mode_ = Mode::EveryAccount;
    keeper.cap_ = cap;
    return keeper;
}

const std::string& CKeptTransactions::KeyOf(const char* sortCode, const char* accountNumber, std::string& key) {
    // Neither text holds a NUL, so the pair is told apart by one.
    key.assign(sortCode);
    key.push_back('\0');
    key += accountNumber;
    return key;
}

bool CKeptTransactions::CompactAccount::Equals(const CompactAccount& other) const {
    return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
}

bool CKeptTransactions::MakeCompact(const char* sortCode, const char* accountNumber, CompactAccount& compact) {
    const auto put = [&compact](const char* text, std::size_t at, std::size_t most) {
        for (std::size_t i = 0; i < most; ++i) {
            if (text[i] == '\0') return true;
            compact.bytes[at + i] = text[i];
        }
        return text[most] == '\0';
    };
    compact = CompactAccount{};
    return put(sortCode, 0, 8) && put(accountNumber, 8, 8);
}

CKeptTransactions::Group* CKeptTransactions::GroupOf(const CTransactionRecord& record) {
    switch (mode_) {
    case Mode::Nothing: return nullptr;
    case Mode::OneAccount: return account_.Matches(record) ? &groups_.front() : nullptr;
    case Mode::EveryAccount: break;
    }
    const char* const sortCode = record.SortCode.GetString();
    const char* const accountNumber = record.AccountNumber.GetString();
    // The key is made only while accounts are compared: past kComparedAccounts
    // they are found through the index alone.
    CompactAccount compact;
    bool hasCompact = false;
    if (groups_.size() <= kComparedAccounts) {
        hasCompact = MakeCompact(sortCode, accountNumber, compact);
        for (Group& group : groups_) {
            // A compact account equals only a compact one.
            if (hasCompact ? group.hasCompact && group.compact.Equals(compact)
                           : std::strcmp(group.sortCode.c_str(), sortCode) == 0 &&
                                 std::strcmp(group.accountNumber.c_str(), accountNumber) == 0) {
                return &group;
            }
        }
    } else {
        const auto found = index_.find(KeyOf(sortCode, accountNumber, keyBuffer_));
        if (found != index_.end()) return &groups_[found->second];
    }
    if (groups_.size() >= kMaxAccounts) {
        everyAccountSeen_ = false;
        return nullptr;
    }
    Group added;
    added.sortCode = sortCode;
    added.accountNumber = accountNumber;
    added.compact = compact;
    added.hasCompact = hasCompact;
    groups_.push_back(std::move(added));
    try {
        index_.emplace(KeyOf(sortCode, accountNumber, keyBuffer_), groups_.size() - 1);
    } catch (...) {
        groups_.pop_back();
        throw;
    }
    return &groups_.back();
}

CKeptTransactions::Block* CKeptTransactions::MakeRoom(Group& group, std::size_t more) {
    if (!group.kept.empty()) {
        Block& last = group.kept.back();
        if (last.size + more <= last.capacity) return &last;
    }
    const std::size_t capacity = std::max({more, std::min(group.held, kLargestBlock), kFirstBuffer});
    while (held_ + capacity > cap_) {
        // The largest group frees the most and is the likeliest to be read
        // again anyway.
        Group* largest = nullptr;
        for (Group& candidate : groups_) {
            if (!candidate.dropped && (largest == nullptr || candidate.held > largest->held)) largest = &candidate;
        }
        // `group` itself is never dropped yet, so there is always one.
        Drop(*largest);
        if (largest == &group) return nullptr;
    }
    // Not zero-filled: only the bytes written are ever read.
    group.kept.push_back(Block{std::unique_ptr<char[]>(new char[capacity]), 0, capacity});
    held_ += capacity;
    group.held += capacity;
    return &group.kept.back();
}

void CKeptTransactions::Drop(Group& group) {
    held_ -= group.held;
    group.held = 0;
    std::vector<Block>().swap(group.kept);
    group.dropped = true;
}

void CKeptTransactions::Keep(const CTransactionRecord& record, int line) {
    Group* group = nullptr;
    try {
        group = GroupOf(record);
        if (group == nullptr || group->dropped) return;
        char encoded[kMaxLineBytes];
        const std::size_t size = Encode(record, line, encoded);
        if (size == 0) {
            Drop(*group);
            return;
        }
        Block* const block = MakeRoom(*group, size);
        if (block == nullptr) return;
        std::memcpy(block->bytes.get() + block->size, encoded, size);
        block->size += size;
    } catch (const std::bad_alloc&) {
        // Memory the process cannot spare is never the import's failure:
        // the account is read from the file again.
        if (group != nullptr) {
            Drop(*group);
        } else {
            everyAccountSeen_ = false;
        }
    }
}

const CKeptTransactions::Group* CKeptTransactions::FindGroup(const StatementAccount& account) const {
    switch (mode_) {
    case Mode::Nothing: return nullptr;
    case Mode::OneAccount:
        return account.AccountSortCode == account_.AccountSortCode && account.AccountNumber == account_.AccountNumber
                   ? &groups_.front()
                   : nullptr;
    case Mode::EveryAccount: break;
    }
    std::string key;
    const auto found =
        index_.find(KeyOf(account.AccountSortCode.GetString(), account.AccountNumber.GetString(), key));
    return found == index_.end() ? nullptr : &groups_[found->second];
}

bool CKeptTransactions::HoldsAll(const StatementAccount& account) const {
    const Group* const group = FindGroup(account);
    if (group != nullptr) return !group->dropped;
    // An account no line was seen of has nothing to deliver, when every
    // account of the file was told apart.
    return mode_ == Mode::EveryAccount && everyAccountSeen_;
}

int CKeptTransactions::Deliver(const StatementAccount& account,
                               const std::function<void(const StatementTransaction&, int line)>& add) const {
    const Group* const group = FindGroup(account);
    if (group == nullptr) return 0;
    CTransactionRecord record;
    std::int32_t sequence = 0;
    for (const Block& block : group->kept) {
        const char* at = block.bytes.get();
        const char* const end = at + block.size;
        while (at != end) {
            int line = 0;
            at = Decode(at, record, line);
            add(TransactionFromRecord(record, ++sequence), line);
        }
    }
    return sequence;
}

}  // namespace paylode
