<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el_GR">
<context>
    <name>AlreadyValid</name>
    <message>
        <source>ALREADY VALIDATED</source>
        <translation>ΗΔΗ ΕΠΙΚΥΡΩΜΕΝΟ</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Deducted</source>
        <translation>Αφαιρέθηκαν</translation>
    </message>
    <message>
        <source>Expires</source>
        <translation>Λήγει</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Trips</source>
        <translation>Διαδρομές</translation>
    </message>
    <message>
        <source>day</source>
        <translation>ημέρα</translation>
    </message>
    <message>
        <source>days</source>
        <translation>ημέρες</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>ώρα</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>ώρες</translation>
    </message>
    <message>
        <source>min</source>
        <translation>λεπτό</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>λεπτά</translation>
    </message>
</context>
<context>
    <name>Audio</name>
    <message>
        <source>Audio Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio Volume</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomPopup</name>
    <message>
        <source>Yes</source>
        <translation>Ναι</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Όχι</translation>
    </message>
</context>
<context>
    <name>Diagnostics</name>
    <message>
        <source>RTC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ethernet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB Hub</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FTDI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mPCIe #1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Touch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SD Card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ignition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RFID (USB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RFID (Service)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Barcode (USB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Barcode (Service)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Board</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pole ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buzzer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LEDs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RFID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Barcode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Speaker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RGB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FINISH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can you hear the buzzer?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can you see the LEDs flashing?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tap a card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan a barcode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can you hear the internal speaker?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Is LCD brightness adjusting?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brightness : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Light Sensor : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic Tests</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CARD DETECTED
%1
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Was the RGB test successful?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Port Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Display</name>
    <message>
        <source>Brightness Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display Brightness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ambient Light Sensor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Cursor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dark Theme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display OFF (min)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The interval, in minutes, after which 
the display will turn off , if in Out-
of-Order or Out-of-Service state.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EthernetConfig</name>
    <message>
        <source>IPv4 address cannot be empty in &apos;manual&apos; mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 netmask cannot be empty in &apos;manual&apos; mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 address is not a valid IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 netmask is not a valid IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 gateway is not a valid IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 DNS #0 is not a valid IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 DNS #1 is not a valid IP address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPV4 Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPV4 Netmask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPV4 Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS #0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS #1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GUIManager</name>
    <message>
        <source>Initializing</source>
        <translation>Αρχικοποίηση</translation>
    </message>
    <message>
        <source>Please Wait</source>
        <translation>Παρακαλώ Περιμένετε</translation>
    </message>
    <message>
        <source>Rebooting</source>
        <translation>Επανεκκίνηση</translation>
    </message>
    <message>
        <source>Shutting down</source>
        <translation>Τερματισμός Λειτουργίας</translation>
    </message>
    <message>
        <source>Exiting</source>
        <translation>Έξοδος</translation>
    </message>
</context>
<context>
    <name>InitPage</name>
    <message>
        <source>Please confirm the serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter Serial Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must start with &apos;C&apos; or &apos;K&apos; followed by 8 digits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CLR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Invalid</name>
    <message>
        <source>INVALID</source>
        <translation>ΑΚΥΡΟ</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>LOGIN</source>
        <translation>ΕΙΣΟΔΟΣ</translation>
    </message>
    <message>
        <source>Pin</source>
        <translation>Κωδικός</translation>
    </message>
    <message>
        <source>Too many wrong PINs.
Try again in %1</source>
        <translation>Πολλοί λάθος κωδικοί.
Δοκιμάστε ξανά σε %1</translation>
    </message>
    <message>
        <source>CLR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Ethernet Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Validator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Validator information and settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diagnostics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System health and diagnostics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Region</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date, time and language settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adjust audio volume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adjust display brightness and mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure Ethernet, WiFi and Modem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for software and system updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Event Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Examine system events and alarms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan Config QR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan Configuration QR code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart Application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reboot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONFIGURATION APPLIED
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Network</name>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ethernet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Primary Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connectivity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hostname</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interface</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 Netmask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 Gateway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 DNS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 DNS#0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IPv4 DNS#1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State Change Reason</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutOfOrder</name>
    <message>
        <source>OUT OF ORDER</source>
        <translation>ΠΡΟΣΩΡΙΝΑ
ΕΚΤΟΣ ΛΕΙΤΟΥΡΓΙΑΣ</translation>
    </message>
</context>
<context>
    <name>OutOfService</name>
    <message>
        <source>OUT OF SERVICE</source>
        <translation>ΕΚΤΟΣ ΥΠΗΡΕΣΙΑΣ</translation>
    </message>
</context>
<context>
    <name>Region</name>
    <message>
        <source>Locale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Currency Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timezone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTP server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTP Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTP Synced</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTP SYNC</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Retry</name>
    <message>
        <source>PLEASE TRY AGAIN</source>
        <translation>ΔΟΚΙΜΑΣΤΕ ΞΑΝΑ</translation>
    </message>
</context>
<context>
    <name>ScanBarcode</name>
    <message>
        <source>SCAN YOUR
TICKET</source>
        <translation>ΣΑΡΩΣΤΕ ΤΟ
ΕΙΣΙΤΗΡΙΟ ΣΑΣ</translation>
    </message>
    <message>
        <source>SCAN
CARD</source>
        <translation>ΣΑΡΩΣΗ
ΚΑΡΤΑΣ</translation>
    </message>
</context>
<context>
    <name>ScanCard</name>
    <message>
        <source>SCAN
YOUR CARD</source>
        <translation>ΣΑΡΩΣΤΕ ΤΗΝ
ΚΑΡΤΑ ΣΑΣ</translation>
    </message>
    <message>
        <source>SCAN
TICKET</source>
        <translation>ΣΑΡΩΣΗ
ΕΙΣΙΤΗΡΙΟΥ</translation>
    </message>
</context>
<context>
    <name>ScanScreens</name>
    <message>
        <source>SCAN
YOUR CARD</source>
        <translation>ΣΑΡΩΣΤΕ ΤΗΝ
ΚΑΡΤΑ ΣΑΣ</translation>
    </message>
    <message>
        <source>SCAN
YOUR TICKET</source>
        <translation>ΣΑΡΩΣΤΕ ΤΟ
ΕΙΣΙΤΗΡΙΟ ΣΑΣ</translation>
    </message>
</context>
<context>
    <name>Transaction</name>
    <message>
        <source>The ticket is invalid</source>
        <translation>Τα στοιχεία του εισιτηρίου δεν είναι σωστά</translation>
    </message>
    <message>
        <source>The ticket has expired</source>
        <translation>Το εισιτήριο έχει λήξει</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this route</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The ticket has already been validated</source>
        <translation>Το εισιτήριο έχει ήδη επικυρωθεί</translation>
    </message>
    <message>
        <source>The ticket is not yet active</source>
        <translation>Το εισιτήριο δεν είναι ενεργό</translation>
    </message>
    <message>
        <source>Please try again</source>
        <translation>Προσπαθήστε πάλι</translation>
    </message>
    <message>
        <source>The ticket does not belong to this operator</source>
        <translation>Το εισιτήριο δεν ανήκει σε αυτόν τον φορέα</translation>
    </message>
    <message>
        <source>The ticket has an invalid passenger profile</source>
        <translation>Το εισιτήριο δεν έχει σωστό προφίλ επιβάτη</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this axis</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The ticket is not allowed in this zone</source>
        <translation>Δεν επιτρέπεται σε αυτή την ζώνη</translation>
    </message>
    <message>
        <source>The ticket has invalid timestamp</source>
        <translation>Το εισιτήριο δεν έχει σωστή χρονική σήμανση</translation>
    </message>
    <message>
        <source>The card is invalid</source>
        <translation>Άκυρη κάρτα</translation>
    </message>
    <message>
        <source>The card has expired</source>
        <translation>Η κάρτα έχει λήξει</translation>
    </message>
    <message>
        <source>The card is not allowed in this route</source>
        <translation>Δεν επιτρέπεται σε αυτή την διαδρομή</translation>
    </message>
    <message>
        <source>The card has already been validated</source>
        <translation>Η κάρτα έχει ήδη επικυρωθεί</translation>
    </message>
    <message>
        <source>The card does not have enough trips</source>
        <translation>Ανεπαρκές υπόλοιπο διαδρομών</translation>
    </message>
    <message>
        <source>The card does not have sufficient balance</source>
        <translation>Ανεπαρκές υπόλοιπο</translation>
    </message>
    <message>
        <source>This card can no longer be used</source>
        <translation>Η κάρτα δεν μπορεί να χρησιμοποιηθεί και χρειάζεται αντικατάσταση</translation>
    </message>
    <message>
        <source>The card is not active</source>
        <translation>Η κάρτα δεν έχει ενεργοποιηθεί</translation>
    </message>
    <message>
        <source>The card does not belong to this operator</source>
        <translation>Η κάρτα δεν ανήκει σε αυτό τον φορέα</translation>
    </message>
    <message>
        <source>The card is blocked</source>
        <translation>Η κάρτα είναι στην λίστα μη αποδεκτών καρτών</translation>
    </message>
    <message>
        <source>The product is blocked</source>
        <translation>Το προιόν δεν μπορεί να χρησιμοποιηθεί</translation>
    </message>
    <message>
        <source>The product is not yet active</source>
        <translation>Το προιόν δεν είναι ενεργό</translation>
    </message>
    <message>
        <source>Internal Error</source>
        <translation>Εσωτερικό Σφάλμα</translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation>Άγνωστο Σφάλμα</translation>
    </message>
</context>
<context>
    <name>Update</name>
    <message>
        <source>Software Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pending Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Valid</name>
    <message>
        <source>VALID</source>
        <translation>ΕΓΚΥΡΟ</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Deducted</source>
        <translation>Αφαιρέθηκαν</translation>
    </message>
    <message>
        <source>Expires</source>
        <translation>Λήγει</translation>
    </message>
    <message>
        <source>Remaining</source>
        <translation>Υπόλοιπο</translation>
    </message>
    <message>
        <source>Trips</source>
        <translation>Διαδρομές</translation>
    </message>
    <message>
        <source>day</source>
        <translation>ημέρα</translation>
    </message>
    <message>
        <source>days</source>
        <translation>ημέρες</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>ώρα</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>ώρες</translation>
    </message>
    <message>
        <source>min</source>
        <translation>λεπτό</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>λεπτά</translation>
    </message>
</context>
<context>
    <name>Validator</name>
    <message>
        <source>Validator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pole ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vehicle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reason</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RFID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Barcode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SAM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unlocked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Production</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ValidatorConfig</name>
    <message>
        <source>OBC URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passback Time (sec)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shutdown Delay (sec)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The delay, in seconds, after which the system
will start the shutdown sequence, providing that
the ignition has been turned off (max=900 sec).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QR Passback Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Error Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If enabled, a full error description will
be displayed in the &apos;Out-of-Order&apos; screen
instead of just an error code.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
