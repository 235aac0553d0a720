// Where each declared treatment sits in the menus: the component name of the menu item that
// runs it (several treatments may share one dialog, as shade and slices share "Shadowing"),
// and the one way a module connects a menu item or tool button to its handler.
#pragma once

#include <QAction>
#include <type_traits>
#include <QObject>


namespace orvane {

class TWorkbench;
struct TreatmentDescriptor;

// The property ConnectAction sets on every action it connects.
inline constexpr const char* kHandledProperty = "orvaneHandled";

// The menu item of `treatment`; null for one without its own (the "More Treatments" submenu
// runs it from a dialog laid out from its declaration).
const char* TreatmentMenuAction(const TreatmentDescriptor& treatment);

// Connects the action named `name` to `handler` (a member function of `receiver`, or any
// callable); a name the frame lacks connects nothing. True when connected.
QAction* FindAction(TWorkbench& main, const char* name);
template <class Receiver, class Handler>
bool ConnectAction(TWorkbench& main, const char* name, Receiver* receiver, Handler handler) {
  QAction* action = FindAction(main, name);
  if (!action) return false;
  // Marked, so the wiring can be checked from outside (Qt keeps receiver counts protected).
  action->setProperty(kHandledProperty, true);
  if constexpr (std::is_member_function_pointer_v<Handler>) {
    QObject::connect(action, &QAction::triggered, receiver,
                     [receiver, handler] { (receiver->*handler)(); });
  } else {
    QObject::connect(action, &QAction::triggered, receiver, [handler] { handler(); });
  }
  return true;
}

}  // namespace orvane
