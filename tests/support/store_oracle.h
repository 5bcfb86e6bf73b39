#pragma once
// What loading the settings should give for a given key, worked out from the
// store's rules on the raw values (type and bytes, as the registry's ANSI
// query hands them out) without calling the store. The fuzz target checks the
// store against it on random keys, and the Windows corruption matrix checks
// the real window against it on the real registry.
//
// The rules, value by value in the order of the record:
// - a text value, missing or with no data, is the empty text; with data, its
//   type must be REG_SZ or REG_EXPAND_SZ ("Invalid data type") and the text is
//   the data up to its first zero byte, converted from the code page;
// - an integer or boolean value must be there with at most four bytes ("Failed
//   to get data"), of type REG_DWORD ("Invalid data type"); its bytes are a
//   little-endian number; a boolean is true when that is not 0;
// - DefaultRights is read as a text: "R" or "r" is Read Only, and anything
//   else, a failure included, No Access; it never ends the load;
// - LogLevel is an integer that must lie from -1 to 7 ("List index out of
//   bounds (n)").
// A failure does not end the load: the failing value keeps what the record
// held, its message is one line of the outcome, and a value that is in the key
// but could not be read (all failures but a missing one; DefaultRights that is
// there but is no text) is unread, which a save leaves as stored.

#include <bitset>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "config/service_settings.h"
#include "platform/ansi_codec.h"
#include "platform/registry.h"

namespace tftpcfg::test {

struct ExpectedLoad {
  ServiceSettings settings;
  std::string message;     // the failures' messages, one per line; empty when none
  std::bitset<18> unread;  // by place in the order of the record
};

namespace oracle_detail {

// A value as read into a four-byte buffer; nullopt with the message otherwise.
inline std::optional<int32_t> Integer(const std::map<std::string, RegValue>& key,
                                      const std::string& name, std::string& message) {
  const auto it = key.find(name);
  if (it == key.end() || it->second.data.size() > 4) {
    message = "Failed to get data for '" + name + "'";
    return std::nullopt;
  }
  if (it->second.type != kRegDword) {
    message = "Invalid data type for '" + name + "'";
    return std::nullopt;
  }
  uint32_t bits = 0;
  const std::string& d = it->second.data;
  for (size_t i = d.size(); i-- > 0;) bits = (bits << 8) | static_cast<unsigned char>(d[i]);
  return static_cast<int32_t>(bits);
}

// The stored bytes of a text value, up to the first zero byte.
inline std::optional<std::string> Text(const std::map<std::string, RegValue>& key,
                                       const std::string& name, std::string& message) {
  const auto it = key.find(name);
  if (it == key.end() || it->second.data.empty()) return std::string();
  if (it->second.type != kRegSz && it->second.type != kRegExpandSz) {
    message = "Invalid data type for '" + name + "'";
    return std::nullopt;
  }
  const std::string& d = it->second.data;
  return d.substr(0, d.find('\0'));
}

}  // namespace oracle_detail

// The outcome of loading `key` (nullptr: no key) into `before`.
inline ExpectedLoad PredictLoad(const std::map<std::string, RegValue>* key,
                                const ServiceSettings& before, const IAnsiCodec& codec) {
  ExpectedLoad out{before, {}, {}};
  if (!key) return out;
  ServiceSettings& s = out.settings;
  using oracle_detail::Integer;
  using oracle_detail::Text;

  size_t index = 0;  // the value's place in the order of reads
  // Ends one value's step: a failure adds its line and, unless the value is
  // missing, marks it unread.
  const auto done = [&](bool ok, const std::string& message, const char* name) {
    if (!ok) {
      if (!message.empty()) out.message += (out.message.empty() ? "" : "\n") + message;
      if (key->count(name)) out.unread.set(index);
    }
    ++index;
  };
  const auto text = [&](const char* name, std::string& field) {
    std::string m;
    const auto v = Text(*key, name, m);
    if (v) field = codec.FromAnsi(*v);
    done(v.has_value(), m, name);
  };
  const auto integer = [&](const char* name, int32_t& field) {
    std::string m;
    const auto v = Integer(*key, name, m);
    if (v) field = *v;
    done(v.has_value(), m, name);
  };
  const auto boolean = [&](const char* name, bool& field) {
    std::string m;
    const auto v = Integer(*key, name, m);
    if (v) field = *v != 0;
    done(v.has_value(), m, name);
  };
  const auto rights = [&](const char* name, int32_t& field) {
    std::string ignored;
    const auto v = Text(*key, name, ignored);
    field = v && (*v == "R" || *v == "r") ? 1 : 0;
    done(v.has_value(), "", name);
  };
  const auto level = [&](const char* name, int32_t& field) {
    std::string m;
    auto v = Integer(*key, name, m);
    if (v && (*v < -1 || *v > 7)) {
      m = "List index out of bounds (" + std::to_string(*v) + ")";
      v.reset();
    }
    if (v) field = *v;
    done(v.has_value(), m, name);
  };

  text("TFTPRoot", s.TFTPRoot);
  integer("TFTPPort", s.TFTPPort);
  boolean("WriteLog", s.WriteLog);
  boolean("HighPriority", s.HighPriority);
  text("LogDirectory", s.LogDirectory);
  integer("LogFileCount", s.LogFileCount);
  rights("DefaultRights", s.DefaultRights);
  text("HostList", s.HostList);
  integer("TFTPTimeout", s.TFTPTimeout);
  integer("TFTPRetr", s.TFTPRetr);
  boolean("OpTimeout", s.OpTimeout);
  boolean("OpBlocksize", s.OpBlocksize);
  boolean("OpTSize", s.OpTSize);
  boolean("FWEnabled", s.FWEnabled);
  integer("FWMinPort", s.FWMinPort);
  integer("FWMaxPort", s.FWMaxPort);
  level("LogLevel", s.LogLevel);
  boolean("LocalTime", s.LocalTime);
  return out;
}

}  // namespace tftpcfg::test
