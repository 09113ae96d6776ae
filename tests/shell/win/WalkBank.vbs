' Walks the bank component the way a script client does: creates the bank
' by its version-independent ProgID, reads its name and kind, counts its
' services, walks them with For Each, fetches each by position and by name,
' and reads each service's name and status. One line of output per fact.
Option Explicit

Dim bank, services, service, i, name
Set bank = CreateObject("TorvoKelmarBankPaylode.Bank")
WScript.Echo "bank: " & bank.GetName() & ", kind " & bank.GetBankKind()

Set services = bank.GetServices()
WScript.Echo "services: " & services.GetCount()

For Each service In services
    WScript.Echo "each: " & service.GetName() & ", status " & service.GetServiceStatus()
Next

For i = 0 To services.GetCount() - 1
    Set service = services(i)
    name = service.GetName()
    WScript.Echo "position " & i & ": " & name & ", same by name: " & (services(name) Is service)
Next

' A position past the end names no service.
On Error Resume Next
Set service = services(services.GetCount())
WScript.Echo "past the end: &H" & Hex(Err.Number) & " " & Err.Description
Err.Clear

' Err.Number holds 65532 for 0x800AFFFC: the literal &HFFFC is the Integer -4
' and never matches; &HFFFC& does.
Set service = services(services.GetCount())
If Err.Number = 65532 And Err.Number = &HFFFC& And Err.Number <> &HFFFC Then
    WScript.Echo "no such service: Err.Number 65532"
End If
