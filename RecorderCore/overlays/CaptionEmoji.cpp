#include "RecorderCore/overlays/CaptionEmoji.h"

#include "RecorderCore/platform/UnicodeText.h"

namespace RecorderCore::CaptionEmoji {

const std::vector<Row>& table() {
  static const std::vector<Row> rows = {
      {"\U0001F92F", {"insane", "crazy", "unbelievable", "mindblowing", "mind-blowing", "wild"}},  // 1
      {"\U0001F525", {"fire", "hot", "amazing", "awesome", "incredible", "epic", "killer", "viral"}},  // 2
      {"\U0001F4B0", {"money", "cash", "dollar", "dollars", "revenue", "profit", "price", "pricing", "paid", "pay", "sales", "income", "rich", "budget", "cost", "cheap", "expensive"}},  // 3
      {"\U0001F680", {"launch", "launched", "launching", "ship", "shipped", "shipping", "rocket", "growth", "grow", "growing", "scale", "skyrocket", "boost"}},  // 4
      {"\U0001F4C8", {"increase", "increased", "chart", "stats", "metrics", "analytics", "trend", "trending", "numbers", "percent"}},  // 5
      {"\U0001F4C9", {"decrease", "decreased", "drop", "dropped", "decline", "churn"}},  // 6
      {"\U0001F41B", {"bug", "bugs", "crash", "crashed", "broken", "broke", "error", "errors", "issue", "glitch"}},  // 7
      {"\U0001F6E0\U0000FE0F", {"fix", "fixed", "fixing", "build", "building", "built", "tool", "tools", "setup", "install", "configure", "settings"}},  // 8
      {"\U0001F4BB", {"code", "coding", "computer", "laptop", "mac", "software", "app", "program", "developer", "terminal", "website", "browser"}},  // 9
      {"\U0001F916", {"ai", "robot", "bot", "automation", "automate", "automated", "automatic", "model", "gpt", "claude"}},  // 10
      {"\U0001F4F1", {"phone", "iphone", "mobile", "android", "ipad"}},  // 11
      {"\U0001F3A5", {"video", "videos", "record", "recording", "recorded", "camera", "film", "screen", "clip"}},  // 12
      {"\U0001F399\U0000FE0F", {"microphone", "mic", "podcast", "voice", "audio", "sound", "speak", "speaking"}},  // 13
      {"\U0001F3B5", {"music", "song", "songs", "beat", "playlist"}},  // 14
      {"\U0000270D\U0000FE0F", {"write", "writing", "wrote", "text", "caption", "captions", "subtitle", "subtitles", "note", "notes", "blog", "post"}},  // 15
      {"\U0001F4E7", {"email", "emails", "inbox", "newsletter", "message", "messages"}},  // 16
      {"\U0001F512", {"secure", "security", "password", "private", "privacy", "lock", "locked", "safe", "blur"}},  // 17
      {"\U0001F50D", {"search", "find", "zoom", "look", "looking", "discover", "research"}},  // 18
      {"\U000023F1\U0000FE0F", {"time", "fast", "faster", "quick", "quickly", "speed", "seconds", "minutes", "instant", "instantly", "slow", "slower"}},  // 19
      {"\U0001F4C5", {"today", "tomorrow", "yesterday", "week", "month", "year", "calendar", "schedule", "deadline"}},  // 20
      {"\U0001F4A1", {"idea", "ideas", "tip", "tips", "trick", "tricks", "learn", "learned", "lesson", "insight", "secret", "hack"}},  // 21
      {"\U0001F9E0", {"think", "thinking", "thought", "brain", "smart", "remember", "understand", "know", "mind"}},  // 22
      {"\U0001F3AF", {"goal", "goals", "target", "focus", "exactly", "precise", "perfect", "perfectly"}},  // 23
      {"\U0001F3C6", {"win", "won", "winner", "winning", "best", "champion", "success", "successful", "first"}},  // 24
      {"\U0001F389", {"congrats", "congratulations", "celebrate", "party", "finally", "done", "finished", "released", "release", "birthday"}},  // 25
      {"\U0001F381", {"free", "gift", "bonus", "giveaway", "discount", "deal", "offer"}},  // 26
      {"\U00002764\U0000FE0F", {"love", "loved", "loving", "favorite", "favourite", "heart", "adore"}},  // 27
      {"\U0001F602", {"funny", "lol", "laugh", "laughing", "hilarious", "joke", "haha"}},  // 28
      {"\U0001F631", {"shocked", "shocking", "scary", "scared", "afraid", "terrifying", "omg"}},  // 29
      {"\U0001F621", {"angry", "hate", "annoying", "annoyed", "frustrating", "frustrated", "terrible", "awful", "worst"}},  // 30
      {"\U0001F622", {"sad", "sorry", "unfortunately", "cry", "crying", "miss", "lost", "lose", "fail", "failed", "failure"}},  // 31
      {"\U0001F914", {"why", "how", "wonder", "maybe", "question", "questions", "confused", "confusing", "weird", "strange"}},  // 32
      {"\U0001F440", {"see", "watch", "watching", "show", "showing", "check", "preview", "notice"}},  // 33
      {"\U0001F44B", {"hello", "hi", "hey", "welcome", "bye", "goodbye"}},  // 34
      {"\U0001F64F", {"thanks", "thank", "please", "grateful", "appreciate"}},  // 35
      {"\U0001F44D", {"good", "great", "nice", "cool", "yes", "okay", "ok", "works", "working", "easy", "simple"}},  // 36
      {"\U0001F44E", {"bad", "no", "wrong", "hard", "difficult", "never"}},  // 37
      {"\U000026A0\U0000FE0F", {"warning", "careful", "danger", "dangerous", "risk", "risky", "important", "attention"}},  // 38
      {"\U00002705", {"test", "tested", "testing", "check", "checked", "verified", "confirm", "confirmed", "correct", "right"}},  // 39
      {"\U0001F195", {"new", "update", "updated", "version", "feature", "features"}},  // 40
      {"\U0001F465", {"team", "people", "users", "customers", "customer", "client", "clients", "community", "friends", "everyone", "audience"}},  // 41
      {"\U0001F30D", {"world", "global", "everywhere", "internet", "online", "country"}},  // 42
      {"\U0001F3E0", {"home", "house", "office"}},  // 43
      {"\U00002615", {"coffee", "morning", "breakfast", "tea"}},  // 44
      {"\U0001F355", {"food", "pizza", "lunch", "dinner", "eat", "eating", "hungry"}},  // 45
      {"\U0001F436", {"dog", "puppy"}},  // 46
      {"\U0001F431", {"cat", "kitten"}},  // 47
      {"\U0001F986", {"duck", "quack"}},  // 48
      {"\U00002600\U0000FE0F", {"sun", "sunny", "summer", "weather"}},  // 49
      {"\U0001F319", {"night", "sleep", "sleeping", "tired", "dream"}},  // 50
      {"\U0001F4AA", {"strong", "power", "powerful", "work", "workout", "gym", "hustle", "effort"}},  // 51
      {"\U0001F511", {"key", "license", "licence", "unlock", "access", "login"}},  // 52
      {"\U0001F4E6", {"package", "product", "products", "order", "delivery", "download", "export"}},  // 53
      {"\U0001F3A8", {"design", "color", "colour", "style", "beautiful", "pretty", "art", "font", "logo", "brand"}},  // 54
      {"\U00000031\U0000FE0F\U000020E3", {"one", "firstly"}},  // 55
      {"\U00000032\U0000FE0F\U000020E3", {"two", "second", "secondly"}},  // 56
      {"\U00000033\U0000FE0F\U000020E3", {"three", "third", "thirdly"}},  // 57
  };
  return rows;
}

const std::unordered_map<std::string, Entry>& keywordIndex() {
  static const std::unordered_map<std::string, Entry> index = [] {
    std::unordered_map<std::string, Entry> built;
    int number = 0;
    for (const Row& row : table()) {
      ++number;
      // The first row that lists a keyword owns it.
      for (const auto& keyword : row.keywords) built.try_emplace(keyword, Entry{number, row.emoji});
    }
    return built;
  }();
  return index;
}

std::optional<std::string> emoji(const std::vector<std::string>& words) {
  const auto& index = keywordIndex();
  const Entry* best = nullptr;
  for (const auto& word : words) {
    const std::string key =
        UnicodeText::trim(UnicodeText::lowercased(word), [](char32_t c) { return !UnicodeText::isLetterMarkOrNumber(c); });
    const auto found = index.find(key);
    if (found != index.end() && (!best || found->second.row < best->row)) best = &found->second;
  }
  if (!best) return std::nullopt;
  return best->emoji;
}

}  // namespace RecorderCore::CaptionEmoji
