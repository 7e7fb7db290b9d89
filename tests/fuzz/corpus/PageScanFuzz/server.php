<?php echo "Helo"; ?>
<% Respnse.Write("x") %>
<p>Servr page tekst</p>
<cfoutput>#varr#</cfoutput>
