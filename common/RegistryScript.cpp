/*
 * Reading registry scripts (see RegistryScript.h): a small tokenizer and a
 * recursive reader of roots, keys and values.
 */
#include "common/RegistryScript.h"

#include <cctype>

namespace paylode {

namespace {

struct Token {
    enum class Kind { Word, Quoted, Open, Close, Equals, End };
    Kind kind = Kind::End;
    std::string text;
    int line = 1;
};

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) { Advance(); }

    std::optional<RegistryScript> Script() {
        RegistryScript script;
        while (token_.kind != Token::Kind::End) {
            RegistryScriptRoot root;
            if (token_.kind != Token::Kind::Word) return Fail("a root key (HKCR or HKCU) expected");
            if (token_.text == "HKCR" || token_.text == "HKEY_CLASSES_ROOT") {
                root.root = RegistryRoot::ClassesRoot;
            } else if (token_.text == "HKCU" || token_.text == "HKEY_CURRENT_USER") {
                root.root = RegistryRoot::CurrentUser;
            } else {
                return Fail("unknown root key '" + token_.text + "'");
            }
            Advance();
            if (!Expect(Token::Kind::Open, "'{' after the root key")) return std::nullopt;
            while (token_.kind != Token::Kind::Close) {
                std::optional<RegistryKey> key = Key();
                if (!key) return std::nullopt;
                root.keys.push_back(std::move(*key));
            }
            Advance();
            script.roots.push_back(std::move(root));
        }
        if (failed_) return std::nullopt;
        return script;
    }

    RegistryScriptError error;

private:
    std::optional<RegistryKey> Key() {
        RegistryKey key;
        if (token_.kind == Token::Kind::Word && token_.text == "NoRemove") {
            key.removal = RegistryKey::Removal::NoRemove;
            Advance();
        } else if (token_.kind == Token::Kind::Word && token_.text == "ForceRemove") {
            key.removal = RegistryKey::Removal::ForceRemove;
            Advance();
        }
        std::optional<std::string> name = Name("a key name");
        if (!name) return std::nullopt;
        key.name = std::move(*name);
        if (token_.kind == Token::Kind::Equals) {
            Advance();
            std::optional<std::string> value = StringValue();
            if (!value) return std::nullopt;
            key.defaultValue = std::move(*value);
        }
        if (token_.kind != Token::Kind::Open) return key;
        Advance();
        while (token_.kind != Token::Kind::Close) {
            if (token_.kind == Token::Kind::Word && token_.text == "val") {
                Advance();
                std::optional<std::string> valueName = Name("a value name");
                if (!valueName) return std::nullopt;
                if (!Expect(Token::Kind::Equals, "'=' after the value name")) return std::nullopt;
                std::optional<std::string> value = StringValue();
                if (!value) return std::nullopt;
                key.values.push_back({std::move(*valueName), std::move(*value)});
                continue;
            }
            std::optional<RegistryKey> subkey = Key();
            if (!subkey) return std::nullopt;
            key.subkeys.push_back(std::move(*subkey));
        }
        Advance();
        return key;
    }

    // A key or value name: a bare word or quoted text, never empty.
    std::optional<std::string> Name(const char* what) {
        if ((token_.kind != Token::Kind::Word && token_.kind != Token::Kind::Quoted) || token_.text.empty()) {
            return Fail(std::string(what) + " expected");
        }
        std::string name = token_.text;
        Advance();
        return name;
    }

    // "s 'text'": the only value type registration writes is a string.
    std::optional<std::string> StringValue() {
        if (token_.kind != Token::Kind::Word || token_.text != "s") return Fail("a string value (s '...') expected");
        Advance();
        if (token_.kind != Token::Kind::Quoted) return Fail("quoted text expected after s");
        std::string value = token_.text;
        Advance();
        return value;
    }

    bool Expect(Token::Kind kind, const char* what) {
        if (token_.kind != kind) {
            Fail(std::string(what) + " expected");
            return false;
        }
        Advance();
        return true;
    }

    std::nullopt_t Fail(const std::string& message) {
        if (!failed_) {
            failed_ = true;
            error = {token_.line, message};
        }
        // Nothing more is read after the first fault.
        token_.kind = Token::Kind::End;
        at_ = text_.size();
        return std::nullopt;
    }

    void Advance() {
        if (failed_) return;
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            if (text_[at_] == '\n') ++line_;
            ++at_;
        }
        token_ = Token{};
        token_.line = line_;
        if (at_ == text_.size()) return;
        const char c = text_[at_];
        // A brace opens or closes a block when it stands alone; "{...}"
        // with no space after the brace is a word, the way class ids are
        // written as key names.
        const bool alone = at_ + 1 == text_.size() || std::isspace(static_cast<unsigned char>(text_[at_ + 1]));
        if (((c == '{' || c == '}') && alone) || c == '=') {
            token_.kind = c == '{' ? Token::Kind::Open : c == '}' ? Token::Kind::Close : Token::Kind::Equals;
            ++at_;
            return;
        }
        if (c == '\'') {
            token_.kind = Token::Kind::Quoted;
            for (++at_;; ++at_) {
                if (at_ == text_.size()) {
                    Fail("quoted text left open");
                    return;
                }
                if (text_[at_] == '\n') ++line_;
                if (text_[at_] != '\'') {
                    token_.text += text_[at_];
                } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
                    token_.text += '\'';
                    ++at_;
                } else {
                    ++at_;
                    return;
                }
            }
        }
        token_.kind = Token::Kind::Word;
        while (at_ < text_.size()) {
            const char w = text_[at_];
            if (std::isspace(static_cast<unsigned char>(w)) || w == '=' || w == '\'') break;
            token_.text += w;
            ++at_;
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
    int line_ = 1;
    Token token_;
    bool failed_ = false;
};

}  // namespace

std::optional<RegistryScript> ParseRegistryScript(const std::string& text, RegistryScriptError* error) {
    Reader reader(text);
    std::optional<RegistryScript> script = reader.Script();
    if (!script && error != nullptr) *error = reader.error;
    return script;
}

}  // namespace paylode
