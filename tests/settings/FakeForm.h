// Fakes of the two settings seams: a window that records placements and a
// set of controls whose "cbRedrawCircles" click action sets a redraw timer
// from "edRedrawCircles", as the main window's handler does.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FormPositionState.h"
#include "StoredSettings.h"
#include "Text.h"

class TFakeFormWindow : public settings::IFormWindow {
 public:
  TFakeFormWindow() {
    Window.Placement.NormalPosition = settings::TRect{360, 250, 360 + 633, 250 + 438};
    Window.WorkArea = settings::TRect{0, 0, 1920, 1080};
  }
  settings::TFormWindowInfo Info() const override { return Window; }
  void SetDesignedPosition() override { DesignedPosition = true; }
  void ApplyPlacement(const settings::TWindowPlacement& placement) override {
    Applied.push_back(placement);
    Window.Placement.NormalPosition = placement.NormalPosition;
    Window.Placement.Flags = placement.Flags;
  }

  settings::TFormWindowInfo Window;
  bool DesignedPosition = false;
  std::vector<settings::TWindowPlacement> Applied;
};

class TFakeControls : public settings::IStoredControls {
 public:
  TFakeControls() {
    using settings::TPropertyKind;
    for (const char* box : {"cbDrawDigis", "cbDrawIGates", "cbDrawMobiles", "cbDrawDefaultPHG", "cbDrawOthers"}) {
      Checked[box] = true;
    }
    Checked["cbRedrawCircles"] = false;
    Checked["cbDrawFullsize"] = false;
    Texts["cbDrawFullsize.Caption"] = "Draw full-size (fixed stations) circles";
    Texts["edRedrawCircles.Text"] = "15";
    Texts["edExpireAge.Text"] = "60";
    Texts["edServerPort.Text"] = "1448";
  }

  bool HasComponent(std::string_view component) const override {
    const std::string c = Key(component);
    if (Checked.count(c) != 0) return true;
    for (const auto& [k, v] : Texts) {
      if (k.substr(0, k.find('.')) == c) return true;
    }
    return false;
  }

  std::optional<settings::TPropertyValue> GetProperty(std::string_view component,
                                                      std::string_view property) const override {
    settings::TPropertyValue v;
    if (text::Upper(property) == "CHECKED") {
      const auto it = Checked.find(Key(component));
      if (it == Checked.end()) return std::nullopt;
      v.Kind = settings::TPropertyKind::pkBoolean;
      v.Checked = it->second;
      return v;
    }
    const auto it = Texts.find(Key(component) + "." + Canon(property));
    if (it == Texts.end()) return std::nullopt;
    v.Kind = settings::TPropertyKind::pkText;
    v.Text = it->second;
    return v;
  }

  void SetProperty(std::string_view component, std::string_view property,
                   const settings::TPropertyValue& value) override {
    const std::string c = Key(component);
    Applied.push_back(c + "." + Canon(property));
    if (c == Refuse) throw std::runtime_error("refused");
    if (value.Kind == settings::TPropertyKind::pkBoolean) {
      const bool changed = Checked[c] != value.Checked;
      Checked[c] = value.Checked;
      if (changed && c == "cbRedrawCircles") cbRedrawCirclesClick();
    } else {
      Texts[c + "." + Canon(property)] = value.Text;
    }
  }

  // The redraw timer as the main window sets it when the box changes state.
  void cbRedrawCirclesClick() {
    TimerIntervalMs = text::StrToIntDef(Texts["edRedrawCircles.Text"], 15) * 1000;
    TimerEnabled = Checked["cbRedrawCircles"];
  }

  std::map<std::string, bool> Checked;
  std::map<std::string, std::string> Texts;
  std::vector<std::string> Applied;
  std::string Refuse;  // a component whose setter throws
  int TimerIntervalMs = 15000;
  bool TimerEnabled = false;

 private:
  // Names are matched without regard to case; the fake keeps the design spelling.
  std::string Key(std::string_view component) const {
    for (const auto& [k, v] : Checked) {
      if (text::Upper(k) == text::Upper(component)) return k;
    }
    for (const auto& [k, v] : Texts) {
      const std::string c = k.substr(0, k.find('.'));
      if (text::Upper(c) == text::Upper(component)) return c;
    }
    return std::string(component);
  }
  static std::string Canon(std::string_view property) {
    const std::string up = text::Upper(property);
    if (up == "CAPTION") return "Caption";
    if (up == "TEXT") return "Text";
    return std::string(property);
  }
};
