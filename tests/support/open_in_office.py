# Opens a document in a running LibreOffice, as a user opening it would, and
# leaves it open: LibreOffice writes its lock file beside the document.
#   open_in_office.py DOCUMENT PIPE
# PIPE is the name LibreOffice was started to accept on
# (--accept="pipe,name=PIPE;urp;"). Prints "opened" once the document is open.
import sys
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException

document, pipe = sys.argv[1], sys.argv[2]
local = uno.getComponentContext()
resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
deadline = time.monotonic() + 120
while True:
    try:
        context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        break
    except NoConnectException:
        if time.monotonic() > deadline:
            sys.exit("LibreOffice does not answer on pipe " + pipe)
        time.sleep(0.2)
desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
hidden = PropertyValue()
hidden.Name, hidden.Value = "Hidden", True
if desktop.loadComponentFromURL(uno.systemPathToFileUrl(document), "_blank", 0, (hidden,)) is None:
    sys.exit("LibreOffice did not open " + document)
print("opened", flush=True)
